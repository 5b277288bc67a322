#pragma once

// libjtag_client.so / jtag_client.dll. In the vendor's tool chain it is the atlantic library's way to the
// JTAG server, and the atlantic library cannot load without it; here it keeps the call log, so the fake's
// atlantic library depends on it just the same.

#if defined(_WIN32) && defined(QBV_FAKE_CLIENT_BUILD)
#define QBV_FAKE_CLIENT_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define QBV_FAKE_CLIENT_API extern "C" __declspec(dllimport)
#else
#define QBV_FAKE_CLIENT_API extern "C" __attribute__((visibility("default")))
#endif

// Appends the line and a newline to the file named by QBV_FAKE_CLIENT_LOG, when it is set.
QBV_FAKE_CLIENT_API void fakeClientAppendLog(const char* line);
