// The Win32 registry service on Wine's real registry: GBK names and texts
// cross as UTF-16 of code page 936 whatever the system's ANSI code page is,
// expandable strings come back expanded, other types read as "other".
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/CodePage.h"
#include "shell/RegistryWin32.h"
#include "support/GbkPrint.h"

namespace {

std::wstring wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

class RegistryWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    // One key per process: the same executable also runs under a second locale.
    key_ = "Software\\QuenthorTest\\注册表" + std::to_string(GetCurrentProcessId());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyW().c_str());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, keyW().c_str()); }

  std::wstring keyW() const { return wide(CodePage::gbkToUtf16(key_)); }

  // Writes a value with the wide API directly, as another tool would.
  void rawSet(const std::u16string& name, DWORD type, const void* data, DWORD bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyW().c_str(), 0, nullptr, 0,
                              KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(key, wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), bytes),
        ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void rawSetString(const std::u16string& name, DWORD type, const std::u16string& text) {
    rawSet(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
  }

  // Reads a value with the wide API directly: its type and UTF-16 data.
  bool rawGet(const std::u16string& name, DWORD& type, std::u16string& data, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyW().c_str(), 0, KEY_QUERY_VALUE | view, &key) !=
        ERROR_SUCCESS) {
      return false;
    }
    DWORD bytes = 0;
    LSTATUS status = RegQueryValueExW(key, wide(name).c_str(), nullptr, &type, nullptr, &bytes);
    data.assign(bytes / 2, u'\0');
    if (status == ERROR_SUCCESS && bytes > 0) {
      status = RegQueryValueExW(key, wide(name).c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(data.data()), &bytes);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
  }

  Text key_;
  RegistryWin32 registryWin32_;
  Registry* registry_ = &registryWin32_;
};

TEST_F(RegistryWin32Test, ChineseNamesAndTextsRoundTripByteForByte) {
  struct Case {
    const char* what;
    Text name;
    std::u16string nameUtf16;
    Text text;
    std::u16string textUtf16;
  };
  const Case cases[] = {
      {"user", "验证用户", u"验证用户", "管理员　张三", u"管理员　张三"},
      {"path", "队列路径", u"队列路径", "D:\\邮件系统\\队列　目录\\Ｑｕｅｕｅ",
       u"D:\\邮件系统\\队列　目录\\Ｑｕｅｕｅ"},
      {"password with full-width signs", "密码", u"密码", "ｐａｓｓ＃１２３！",
       u"ｐａｓｓ＃１２３！"},
      {"name ending in a 0x5C trail byte", "誠", u"誠", "誠\\", u"誠\\"},
      {"euro sign", "端口监控_服务器地址", u"端口监控_服务器地址", "\x80", u"\u20AC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(registry_->writeString(key_, c.name, c.text));
    RegistryValue back = registry_->read(key_, c.name);
    EXPECT_EQ(back.type, RegistryType::String);
    EXPECT_GBK_EQ(back.text, c.text);
    // Stored under the right wide name with the right wide text and its zero,
    // not a garbled second value.
    DWORD type = 0;
    std::u16string data;
    ASSERT_TRUE(rawGet(c.nameUtf16, type, data, KEY_WOW64_64KEY));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(data, c.textUtf16 + u'\0');
  }
}

TEST_F(RegistryWin32Test, LongTextRoundTrips) {
  Text text;
  for (int i = 0; i < 3000; ++i) text += (i % 2) ? "队" : "Q";
  text += "\\尾";
  ASSERT_TRUE(registry_->writeString(key_, "队列路径", text));
  EXPECT_GBK_EQ(registry_->read(key_, "队列路径").text, text);
}

TEST_F(RegistryWin32Test, WriteCreatesTheKeyAndReadIgnoresCase) {
  Text nested = key_ + "\\新键";
  ASSERT_TRUE(registry_->writeString(nested, "收件人地址", "a@example.com"));
  Text upper = key_ + "\\新键";
  for (char& ch : upper) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  RegistryValue back = registry_->read(upper, "收件人地址");
  EXPECT_EQ(back.type, RegistryType::String);
  EXPECT_EQ(back.text, "a@example.com");
}

TEST_F(RegistryWin32Test, ExpandableStringsAreExpanded) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"QUENTHOR_邮件目录", L"D:\\邮件"));
  rawSetString(u"队列路径", REG_EXPAND_SZ, u"%QUENTHOR_邮件目录%\\队列\\%windir%");
  rawSetString(u"未知", REG_EXPAND_SZ, u"%QUENTHOR_NOT_SET%\\x");
  wchar_t windir[MAX_PATH] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"windir", windir, MAX_PATH), 0u);
  std::u16string windir16(reinterpret_cast<const char16_t*>(windir));

  RegistryValue path = registry_->read(key_, "队列路径");
  EXPECT_EQ(path.type, RegistryType::ExpandString);
  EXPECT_GBK_EQ(path.text, "D:\\邮件\\队列\\" + CodePage::utf16ToGbk(windir16));
  // An unknown reference stays as written.
  EXPECT_GBK_EQ(registry_->read(key_, "未知").text, "%QUENTHOR_NOT_SET%\\x");
}

TEST_F(RegistryWin32Test, ValueShapesOtherThanPlainStrings) {
  DWORD number = 15;
  const char16_t multi[] = u"a\0b\0";
  const char16_t unterminated[] = u"无结尾";
  rawSet(u"数字", REG_DWORD, &number, sizeof number);
  rawSet(u"二进制", REG_BINARY, "\x01\x02", 2);
  rawSet(u"多行", REG_MULTI_SZ, multi, sizeof multi);
  rawSet(u"空", REG_SZ, u"", 2);
  rawSet(u"零字节", REG_SZ, u"", 0);
  rawSet(u"无结尾", REG_SZ, unterminated, 6);  // three characters, no ending zero
  rawSet(u"中间有零", REG_SZ, u"前\0后", 8);

  struct Case {
    Text name;
    RegistryType type;
    Text text;
  };
  const Case cases[] = {
      {"数字", RegistryType::Other, ""},        {"二进制", RegistryType::Other, ""},
      {"多行", RegistryType::Other, ""},        {"空", RegistryType::String, ""},
      {"零字节", RegistryType::String, ""},     {"无结尾", RegistryType::String, "无结尾"},
      {"中间有零", RegistryType::String, "前"}, {"不存在", RegistryType::Missing, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(utf8(c.name));
    RegistryValue value = registry_->read(key_, c.name);
    EXPECT_EQ(value.type, c.type);
    EXPECT_GBK_EQ(value.text, c.text);
  }
  EXPECT_EQ(registry_->read(key_ + "\\不存在的键", "数字").type, RegistryType::Missing);
}

TEST_F(RegistryWin32Test, WritesGoToThe64BitView) {
  ASSERT_TRUE(registry_->writeString(key_, "监控频率", "15"));
  DWORD type = 0;
  std::u16string data;
  EXPECT_TRUE(rawGet(u"监控频率", type, data, KEY_WOW64_64KEY));
  EXPECT_FALSE(rawGet(u"监控频率", type, data, KEY_WOW64_32KEY));
}

}  // namespace
