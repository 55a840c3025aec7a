// GbkText and GbkView: the code-page-936 texts every part of Vantry reads, writes and
// shows, as types of their own so that UTF-8 or other untyped bytes cannot be passed
// where GBK is meant (or the reverse) without saying so.
#ifndef VANTRY_TEXT_GBK_TEXT_H_
#define VANTRY_TEXT_GBK_TEXT_H_

#include <compare>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace vantry {

// Bytes in code page 936. Positions at the interfaces are 1-based byte positions,
// lengths count bytes, and a byte of 0x80 or more starts a two-byte character that
// every search steps over whole.
//
// Bytes become GBK text only explicitly: at the edges (file contents, the codec, the
// byte-level builders) by the constructors, ASCII literals by `_gbk`. The bytes come
// out by bytes(), for the edges that write or convert them.
class GbkView;

class GbkText {
 public:
  static constexpr size_t npos = std::string::npos;

  GbkText() = default;
  explicit GbkText(std::string bytes) noexcept : bytes_(std::move(bytes)) {}
  explicit GbkText(std::string_view bytes) : bytes_(bytes) {}
  explicit GbkText(const char* bytes) : bytes_(bytes) {}
  // The same encoding: a copy of the viewed bytes.
  GbkText(GbkView text);  // NOLINT
  GbkText(size_t count, char byte) : bytes_(count, byte) {}

  const std::string& bytes() const& noexcept { return bytes_; }
  std::string bytes() && noexcept { return std::move(bytes_); }

  size_t size() const noexcept { return bytes_.size(); }
  bool empty() const noexcept { return bytes_.empty(); }
  const char* data() const noexcept { return bytes_.data(); }
  // NUL-terminated, for C interfaces.
  const char* c_str() const noexcept { return bytes_.c_str(); }
  char operator[](size_t i) const noexcept { return bytes_[i]; }
  char& operator[](size_t i) noexcept { return bytes_[i]; }
  char front() const noexcept { return bytes_.front(); }
  char back() const noexcept { return bytes_.back(); }
  std::string::const_iterator begin() const noexcept { return bytes_.begin(); }
  std::string::const_iterator end() const noexcept { return bytes_.end(); }

  // Byte positions, as the searches of find_text.h report them; they may cut a
  // two-byte character, as the callers' 1-based arithmetic always could.
  GbkText substr(size_t pos, size_t n = npos) const {
    return GbkText(bytes_.substr(pos, n));
  }

  // The byte position of `text` at or after `pos`, or npos; a match may start on a
  // trail byte (FindText steps by characters).
  inline size_t find(GbkView text, size_t pos = 0) const noexcept;
  size_t find(char byte, size_t pos = 0) const noexcept { return bytes_.find(byte, pos); }

  void clear() noexcept { bytes_.clear(); }
  void reserve(size_t n) { bytes_.reserve(n); }
  void resize(size_t n) { bytes_.resize(n); }
  void pop_back() { bytes_.pop_back(); }
  void erase(size_t pos, size_t n = npos) { bytes_.erase(pos, n); }
  // A single byte: ASCII, or one half of a character a byte-level builder assembles.
  void push_back(char byte) { bytes_.push_back(byte); }
  GbkText& operator+=(char byte) {
    bytes_.push_back(byte);
    return *this;
  }
  GbkText& append(size_t count, char byte) {
    bytes_.append(count, byte);
    return *this;
  }
  inline GbkText& assign(GbkView text);
  inline GbkText& append(GbkView text);
  inline GbkText& operator+=(GbkView text);
  inline void insert(size_t pos, GbkView text);
  inline bool starts_with(GbkView prefix) const noexcept;
  inline bool ends_with(GbkView suffix) const noexcept;

 private:
  std::string bytes_;
};

// A non-owning view of GBK bytes, for parameters that only read a text.
class GbkView {
 public:
  static constexpr size_t npos = std::string_view::npos;

  constexpr GbkView() = default;
  // The same encoding: a view of the text's bytes, valid while the text lives.
  GbkView(const GbkText& text) noexcept : bytes_(text.bytes()) {}  // NOLINT
  constexpr explicit GbkView(std::string_view bytes) noexcept : bytes_(bytes) {}

  constexpr std::string_view bytes() const noexcept { return bytes_; }

  constexpr size_t size() const noexcept { return bytes_.size(); }
  constexpr bool empty() const noexcept { return bytes_.empty(); }
  constexpr const char* data() const noexcept { return bytes_.data(); }
  constexpr char operator[](size_t i) const noexcept { return bytes_[i]; }
  constexpr char front() const noexcept { return bytes_.front(); }
  constexpr char back() const noexcept { return bytes_.back(); }
  constexpr std::string_view::const_iterator begin() const noexcept {
    return bytes_.begin();
  }
  constexpr std::string_view::const_iterator end() const noexcept { return bytes_.end(); }
  constexpr GbkView substr(size_t pos, size_t n = npos) const {
    return GbkView(bytes_.substr(pos, n));
  }
  constexpr void remove_prefix(size_t n) noexcept { bytes_.remove_prefix(n); }
  constexpr void remove_suffix(size_t n) noexcept { bytes_.remove_suffix(n); }
  constexpr bool starts_with(GbkView prefix) const noexcept {
    return bytes_.starts_with(prefix.bytes_);
  }
  constexpr bool ends_with(GbkView suffix) const noexcept {
    return bytes_.ends_with(suffix.bytes_);
  }

 private:
  std::string_view bytes_;
};

inline GbkText::GbkText(GbkView text) : bytes_(text.bytes()) {}
inline GbkText& GbkText::assign(GbkView text) {
  bytes_.assign(text.bytes());
  return *this;
}
inline GbkText& GbkText::append(GbkView text) {
  bytes_.append(text.bytes());
  return *this;
}
inline GbkText& GbkText::operator+=(GbkView text) { return append(text); }
inline size_t GbkText::find(GbkView text, size_t pos) const noexcept {
  return bytes_.find(text.bytes(), pos);
}
inline bool GbkText::starts_with(GbkView prefix) const noexcept {
  return std::string_view(bytes_).starts_with(prefix.bytes());
}
inline bool GbkText::ends_with(GbkView suffix) const noexcept {
  return std::string_view(bytes_).ends_with(suffix.bytes());
}
inline void GbkText::insert(size_t pos, GbkView text) {
  bytes_.insert(pos, text.bytes());
}

inline bool operator==(GbkView a, GbkView b) noexcept { return a.bytes() == b.bytes(); }
inline std::strong_ordering operator<=>(GbkView a, GbkView b) noexcept {
  return a.bytes() <=> b.bytes();
}

inline GbkText operator+(GbkView a, GbkView b) {
  GbkText out;
  out.reserve(a.size() + b.size());
  out.append(a);
  out.append(b);
  return out;
}
inline GbkText operator+(GbkText&& a, GbkView b) {
  a.append(b);
  return std::move(a);
}

// An ASCII literal as GBK text (ASCII reads the same in both encodings); any other
// byte fails to compile, since Chinese text comes from the codec (Utf8ToGbk).
consteval GbkView operator""_gbk(const char* bytes, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) {
      throw "a _gbk literal holds ASCII only";
    }
  }
  return GbkView(std::string_view(bytes, size));
}

// True when `byte` starts a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// The number of characters of `gbk` as the searches step through it: a two-byte
// character counts one, and so does a lead byte that ends the text.
constexpr size_t CharacterCount(GbkView gbk) {
  size_t count = 0;
  for (size_t i = 0; i < gbk.size(); ++count)
    i += IsLeadByte(static_cast<unsigned char>(gbk[i])) && i + 1 < gbk.size() ? 2 : 1;
  return count;
}

}  // namespace vantry

template <>
struct std::hash<vantry::GbkText> {
  size_t operator()(const vantry::GbkText& text) const noexcept {
    return std::hash<std::string_view>()(text.bytes());
  }
};
template <>
struct std::hash<vantry::GbkView> {
  size_t operator()(vantry::GbkView text) const noexcept {
    return std::hash<std::string_view>()(text.bytes());
  }
};

#endif  // VANTRY_TEXT_GBK_TEXT_H_
