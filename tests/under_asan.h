#pragma once

// JB_UNDER_ASAN is defined where AddressSanitizer is built in.
#if defined(__SANITIZE_ADDRESS__)  // GCC's way of saying so
#define JB_UNDER_ASAN 1
#elif defined(__has_feature)       // Clang's
#if __has_feature(address_sanitizer)
#define JB_UNDER_ASAN 1
#endif
#endif
