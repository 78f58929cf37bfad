// UTF-16 as the Windows console hands it over, turned into the UTF-8 that
// names travel in here. Kept free of Windows calls so that both builds test
// it.
#ifndef STAMPWISE_PLATFORM_UTF16_HPP
#define STAMPWISE_PLATFORM_UTF16_HPP

#include <cstddef>
#include <string>

namespace stampwise::platform {

// Decodes a stream of UTF-16 units that arrives in pieces: a surrogate pair
// split between two pieces is joined, and a surrogate without its partner
// becomes U+FFFD.
class Utf16Decoder {
 public:
  void Feed(const char16_t* units, std::size_t count, std::string* utf8);
  // The end of the stream: a high surrogate still waiting becomes U+FFFD.
  void Finish(std::string* utf8);

 private:
  char16_t pending_ = 0;  // a high surrogate waiting for its partner
};

}  // namespace stampwise::platform

#endif  // STAMPWISE_PLATFORM_UTF16_HPP
