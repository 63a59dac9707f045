// The WinInet implementation's own promises, without a server: time-outs
// land on the request handle, null handles fail quietly.
#include "web/InternetApiWin32.h"

#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

namespace {

DWORD option(InternetHandle handle, DWORD which) {
  DWORD value = 0, size = sizeof value;
  if (!InternetQueryOptionA(reinterpret_cast<HINTERNET>(handle), which, &value, &size)) return 0;
  return value;
}

TEST(InternetApiWin32, TimeoutsAreSetOnTheRequestHandle) {
  InternetApiWin32 api;
  const InternetHandle session = api.open("QuenthorTest", "");
  ASSERT_NE(session, 0u);
  const InternetHandle connection = api.connect(session, "127.0.0.1", 9);
  ASSERT_NE(connection, 0u);
  const InternetHandle request =
      api.openRequest(connection, "POST", "/x", "HTTP/1.1", InternetFlags::kReload);
  ASSERT_NE(request, 0u);

  // Wine reads back only the connect time-out of a request handle; that the
  // send and receive ones bind is shown against a silent server
  // (tests/http/WebRequestHttpTest.cpp).
  EXPECT_TRUE(api.setRequestTimeouts(request, InternetTimeouts{}));
  EXPECT_EQ(option(request, INTERNET_OPTION_CONNECT_TIMEOUT), 60000u);
  EXPECT_TRUE(api.setRequestTimeouts(request, {1234, 2345, 3456}));
  EXPECT_EQ(option(request, INTERNET_OPTION_CONNECT_TIMEOUT), 1234u);

  api.closeHandle(request);
  api.closeHandle(connection);
  api.closeHandle(session);
}

TEST(InternetApiWin32, NullHandlesFailQuietly) {
  InternetApiWin32 api;
  std::uint8_t buffer[8] = {};
  EXPECT_EQ(api.readFile(0, buffer, sizeof buffer), 0u);
  EXPECT_EQ(api.connect(0, "127.0.0.1", 80), 0u);
  EXPECT_EQ(api.openRequest(0, "GET", "/", "HTTP/1.1", 0), 0u);
  EXPECT_FALSE(api.sendRequest(0, "Accept: */*", buffer, 0));
  api.closeHandle(0);
}

}  // namespace
