// The notice server the program was built for.
#ifndef VANTRY_NET_NOTICE_HOST_H_
#define VANTRY_NET_NOTICE_HOST_H_

#include <string_view>

namespace vantry {

// The host name, optionally with ":port", set when the program is configured
// (VANTRY_NOTICE_HOST); empty when none was set, and then no notice is fetched.
std::string_view BuiltInNoticeHost();

}  // namespace vantry

#endif  // VANTRY_NET_NOTICE_HOST_H_
