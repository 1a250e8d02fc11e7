// What a test can rely on when the suite runs under a sanitizer.
#pragma once

// AddressSanitizer brings its own allocator, which glibc's heap figures do not see.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kHeapFiguresReadable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kHeapFiguresReadable = false;
#else
constexpr bool kHeapFiguresReadable = true;
#endif
#else
constexpr bool kHeapFiguresReadable = true;
#endif
