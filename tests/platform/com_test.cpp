// The COM surface of our platform layer: what CoCreateInstance gives and
// refuses, QueryInterface and reference counting, as shortcut access and
// any COM client relies on them.
#include <gtest/gtest.h>

#include <thread>

#include "platform/windows_shell.h"
#include "temp_folder.h"

namespace {

// {12345678-9ABC-DEF0-1234-56789ABCDEF0}: registered for nothing.
const GUID kUnknownGuid = {0x12345678, 0x9ABC, 0xDEF0, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0}};

HRESULT create(REFIID iid, void** object) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, iid, object);
}

// The apartment belongs to the thread: one that never called CoInitialize
// gets no objects, whatever other threads did.
TEST(CoCreateInstance, FailsOnAThreadWithoutCoInitialize) {
  CoInitialize(nullptr);
  HRESULT hr = S_OK;
  void* object = &hr;
  std::thread([&] { hr = create(IID_IShellLinkA, &object); }).join();
  EXPECT_EQ(hr, CO_E_NOTINITIALIZED);
  EXPECT_EQ(object, nullptr);
}

TEST(CoInitialize, OkFirstThenFalseOnTheSameThread) {
  HRESULT first = E_FAIL, second = E_FAIL, created = E_FAIL;
  std::thread([&] {
    first = CoInitialize(nullptr);
    second = CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    created = create(IID_IShellLinkA, reinterpret_cast<void**>(&link));
    if (link != nullptr) link->Release();
  }).join();
  EXPECT_EQ(first, S_OK);
  EXPECT_EQ(second, S_FALSE);
  EXPECT_EQ(created, S_OK);
}

class Com : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
};

TEST_F(Com, RefusalsLeaveNoObject) {
  IShellLinkA* outer = nullptr;
  ASSERT_EQ(create(IID_IShellLinkA, reinterpret_cast<void**>(&outer)), S_OK);

  struct Refusal {
    const char* why;
    const CLSID& clsid;
    IUnknown* outer;
    DWORD context;
    const IID& iid;
    HRESULT expected;
  };
  const Refusal rows[] = {
      {"unknown class", kUnknownGuid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, REGDB_E_CLASSNOTREG},
      {"an interface id as class", IID_IPersistFile, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, REGDB_E_CLASSNOTREG},
      {"aggregation", CLSID_ShellLink, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, CLASS_E_NOAGGREGATION},
      {"unknown interface", CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, kUnknownGuid, E_NOINTERFACE},
  };
  for (const Refusal& row : rows) {
    SCOPED_TRACE(row.why);
    void* object = &outer;  // must be cleared
    EXPECT_EQ(CoCreateInstance(row.clsid, row.outer, row.context, row.iid, &object), row.expected);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, nullptr), E_POINTER);
  outer->Release();
}

TEST_F(Com, QueryInterfaceGivesEachInterfaceOfOneObject) {
  IShellLinkA* link = nullptr;
  ASSERT_EQ(create(IID_IShellLinkA, reinterpret_cast<void**>(&link)), S_OK);
  ASSERT_NE(link, nullptr);

  IPersistFile* file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  ASSERT_NE(file, nullptr);

  // COM identity: IUnknown from any interface is the same pointer.
  IUnknown* from_link = nullptr;
  IUnknown* from_file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&from_link)), S_OK);
  ASSERT_EQ(file->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&from_file)), S_OK);
  EXPECT_EQ(from_link, from_file);

  // And back again from the other interface.
  IShellLinkA* link_again = nullptr;
  ASSERT_EQ(file->QueryInterface(IID_IShellLinkA, reinterpret_cast<void**>(&link_again)), S_OK);
  EXPECT_EQ(link_again, link);

  void* none = link;
  EXPECT_EQ(file->QueryInterface(kUnknownGuid, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
  EXPECT_EQ(link->QueryInterface(IID_IPersistFile, nullptr), E_POINTER);

  for (IUnknown* each : {static_cast<IUnknown*>(link_again), from_file, from_link, static_cast<IUnknown*>(file)})
    each->Release();
  EXPECT_EQ(link->Release(), 0u);
}

// The object lives as long as any pointer to it does. Released too early, the
// calls below would use freed memory, which AddressSanitizer reports.
TEST_F(Com, ObjectSurvivesUntilTheLastReference) {
  const morvik::test::TempFolder folder;
  IShellLinkA* link = nullptr;
  ASSERT_EQ(create(IID_IShellLinkA, reinterpret_cast<void**>(&link)), S_OK);
  ASSERT_TRUE(SUCCEEDED(link->SetPath("C:\\kept\\target.txt")));
  IPersistFile* file = nullptr;
  ASSERT_EQ(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);

  EXPECT_GT(link->Release(), 0u);  // the IPersistFile reference remains
  link = nullptr;

  // The state set through the released pointer is still there.
  EXPECT_EQ(file->Save(folder.wide("a.lnk").c_str(), TRUE), S_OK);
  IShellLinkA* again = nullptr;
  ASSERT_EQ(file->QueryInterface(IID_IShellLinkA, reinterpret_cast<void**>(&again)), S_OK);
  EXPECT_GT(file->Release(), 0u);
  char path[MAX_PATH] = {};
  EXPECT_EQ(again->GetPath(path, MAX_PATH, nullptr, 0), S_OK);
  EXPECT_STREQ(path, "C:\\kept\\target.txt");
  EXPECT_EQ(again->Release(), 0u);
}

TEST_F(Com, AddRefAndReleaseBalance) {
  IPersistFile* file = nullptr;
  ASSERT_EQ(create(IID_IPersistFile, reinterpret_cast<void**>(&file)), S_OK);
  const ULONG after_add = file->AddRef();
  EXPECT_EQ(file->AddRef(), after_add + 1);
  EXPECT_EQ(file->Release(), after_add);
  EXPECT_EQ(file->Release(), after_add - 1);
  EXPECT_EQ(file->Release(), 0u);
}

}  // namespace
