#include "text/time_names.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "text/gbk_codec.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>
#ifdef __APPLE__
#include <xlocale.h>
#endif
#endif

namespace vantry {
namespace {

TimeNames MakeEnglishNames() {
  return TimeNames{
      {"January"_gbk, "February"_gbk, "March"_gbk, "April"_gbk, "May"_gbk, "June"_gbk,
       "July"_gbk, "August"_gbk, "September"_gbk, "October"_gbk, "November"_gbk,
       "December"_gbk},
      {"Jan"_gbk, "Feb"_gbk, "Mar"_gbk, "Apr"_gbk, "May"_gbk, "Jun"_gbk, "Jul"_gbk,
       "Aug"_gbk, "Sep"_gbk, "Oct"_gbk, "Nov"_gbk, "Dec"_gbk},
      {"Sunday"_gbk, "Monday"_gbk, "Tuesday"_gbk, "Wednesday"_gbk, "Thursday"_gbk,
       "Friday"_gbk, "Saturday"_gbk},
      {"Sun"_gbk, "Mon"_gbk, "Tue"_gbk, "Wed"_gbk, "Thu"_gbk, "Fri"_gbk, "Sat"_gbk},
      "AM"_gbk,
      "PM"_gbk,
  };
}

// Replaces `name` by `localized` when the locale gave a text.
void Take(GbkText& name, GbkText localized) {
  if (!localized.empty()) name = std::move(localized);
}

#ifdef _WIN32

GbkText LocaleText(LCTYPE type) {
  wchar_t buffer[128];
  const int n = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, buffer, 128);
  if (n <= 1) return {};
  return Utf16ToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(buffer),
                                        static_cast<size_t>(n - 1)));
}

TimeNames MakeUserNames() {
  TimeNames names = MakeEnglishNames();
  for (int i = 0; i < 12; ++i) {
    Take(names.months[i], LocaleText(LOCALE_SMONTHNAME1 + i));
    Take(names.abbreviated_months[i], LocaleText(LOCALE_SABBREVMONTHNAME1 + i));
  }
  // The locale's week starts on Monday (LOCALE_SDAYNAME1); ours on Sunday.
  for (int i = 0; i < 7; ++i) {
    Take(names.days[i], LocaleText(LOCALE_SDAYNAME1 + (i + 6) % 7));
    Take(names.abbreviated_days[i], LocaleText(LOCALE_SABBREVDAYNAME1 + (i + 6) % 7));
  }
  Take(names.am, LocaleText(LOCALE_S1159));
  Take(names.pm, LocaleText(LOCALE_S2359));
  return names;
}

#else

using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, void (*)(locale_t)>;
using Converter = std::unique_ptr<void, int (*)(iconv_t)>;

// `text` in `converter`'s source charset as GBK; empty when it does not convert.
GbkText ToGbk(iconv_t converter, std::string_view text) {
  if (text.empty()) return {};
  std::string in(text);
  std::string out(text.size() * 4 + 16, '\0');
  char* in_ptr = in.data();
  char* out_ptr = out.data();
  size_t in_left = in.size();
  size_t out_left = out.size();
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  if (iconv(converter, &in_ptr, &in_left, &out_ptr, &out_left) ==
      static_cast<size_t>(-1)) {
    return {};
  }
  out.resize(out.size() - out_left);
  return Utf8ToGbk(out);
}

// The locale name that POSIX gives LC_TIME: LC_ALL, else LC_TIME, else LANG, else C.
const char* EnvironmentTimeLocale() {
  for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return value;
  }
  return "C";
}

TimeNames MakeUserNames() {
  TimeNames names = MakeEnglishNames();
  // The environment's LC_TIME, read without touching the process's global locale. Its
  // names are in the charset of that same locale, so LC_CTYPE is taken from it too.
  const LocaleHandle locale(
      newlocale(LC_TIME_MASK | LC_CTYPE_MASK, EnvironmentTimeLocale(), locale_t{}),
      [](locale_t l) {
        if (l != locale_t{}) freelocale(l);
      });
  if (locale == nullptr) return names;
  const Converter converter(
      iconv_open("UTF-8", nl_langinfo_l(CODESET, locale.get())), [](iconv_t cd) {
        return cd == reinterpret_cast<iconv_t>(-1) ? 0 : iconv_close(cd);
      });
  if (converter.get() == reinterpret_cast<iconv_t>(-1)) return names;
  const auto text = [&](nl_item item) {
    return ToGbk(converter.get(), nl_langinfo_l(item, locale.get()));
  };
  for (int i = 0; i < 12; ++i) {
    Take(names.months[i], text(MON_1 + i));
    Take(names.abbreviated_months[i], text(ABMON_1 + i));
  }
  for (int i = 0; i < 7; ++i) {
    Take(names.days[i], text(DAY_1 + i));
    Take(names.abbreviated_days[i], text(ABDAY_1 + i));
  }
  Take(names.am, text(AM_STR));
  Take(names.pm, text(PM_STR));
  return names;
}

#endif

}  // namespace

const TimeNames& UserTimeNames() {
  static const TimeNames names = MakeUserNames();
  return names;
}

const TimeNames& EnglishTimeNames() {
  static const TimeNames names = MakeEnglishNames();
  return names;
}

}  // namespace vantry
