// Whether this test build runs under the address sanitizer, which makes
// everything several times slower and handles some failures itself.
#pragma once

namespace vantor::testing_support {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

}  // namespace vantor::testing_support
