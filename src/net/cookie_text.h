// Cookie texts: the cookies a response sets and folding them with those a request sent.
//
// A cookie item is "name=value"; a cookie text is items joined by "; ". An item is a
// deletion when it ends in "=deleted".
#ifndef VANTRY_NET_COOKIE_TEXT_H_
#define VANTRY_NET_COOKIE_TEXT_H_

#include <string_view>
#include <vector>

#include "text/gbk_text.h"

namespace vantry {

// The cookie text of every "Set-Cookie" line (exact case, followed by ": ") of a raw
// response header block whose lines are separated by "\r\n": each cookie's pair
// without its attributes, in the order of the lines, repeats kept.
GbkText CollectSetCookies(GbkView header_block);

// The part of an item before its first "=" (the whole item without one), trimmed.
GbkText CookieName(GbkView item);

// True when some item's CookieName is exactly `name`.
bool HasCookieNamed(const std::vector<GbkText>& items, GbkView name);

// Folds the cookies a request sent into those its response returned. Spaces are removed
// from both (both arguments are overwritten with that); a returned cookie replaces the
// sent cookie of the same name, sent cookies the response did not name follow the
// returned ones, deletions are dropped (with the sent cookie they name) and repeated
// items are kept once. The merged text is returned and also stored in `sent`.
GbkText MergeCookies(GbkText& sent, GbkText& returned);

}  // namespace vantry

#endif  // VANTRY_NET_COOKIE_TEXT_H_
