// A toolbar's saved state in the registry files, and the registry helper's value formats.
#include "platform/settings/archive.h"
#include "platform/settings/registry_store.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/menus/menu_bar.h"
#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/ux_registry.h"

#include "toolbar_test_support.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const std::wstring kToolbarKeys = L"SOFTWARE\\Tarvo Presents\\KLV7\\UxToolBars\\";

std::optional<RegistryValue> stored(const std::wstring& key, const std::wstring& name) {
  RegistryKey handle;
  if (!handle.open(RegistryRoot::CurrentUser, key, false)) return std::nullopt;
  return handle.value(name);
}

std::vector<uint8_t> bytesOf(std::initializer_list<std::vector<uint8_t>> parts) {
  std::vector<uint8_t> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

std::vector<uint8_t> dword(uint32_t v) {
  return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
}

std::vector<unsigned> commandsOf(const CUxToolBar* bar) {
  std::vector<unsigned> ids;
  for (int i = 0; i < bar->GetCount(); ++i) ids.push_back(bar->GetButton(i)->m_nCommandId);
  return ids;
}

class FixedLabels : public CUxToolBar {
 public:
  using CUxToolBar::CUxToolBar;
  bool AllowChangeTextLabels() const override { return false; }
};

class KeepingWorkspace : public CObject, public UxOriginalStateOption {
 public:
  bool IsOriginalStateKept() const override { return true; }
};

}  // namespace

class ToolbarStateTest : public ::testing::Test {
 protected:
  void SetUp() override { UxSetRegistryNames(L"Tarvo Presents", L"KLV7"); }
  void TearDown() override {
    forbiddenCommands().clear();
    setWorkspace(nullptr, false);
  }
  ScopedRegistry registry;
  UxLibrary library;
  TestFrame frame;
};

TEST_F(ToolbarStateTest, SavedImageKeysLoadAndRemoval) {
  CUxToolBar* bar = makeBar(&frame, 59392);
  bar->RemoveAllButtons();
  bar->InsertButton(std::make_unique<CUxToolbarButton>(100, 0, L"開く"));
  auto checked = std::make_unique<CUxToolbarButton>(101, 1);
  checked->m_nStyle = kStyleChecked;
  bar->InsertButton(std::move(checked));
  bar->setWindowTitle(QStringLiteral("標準"));
  ASSERT_TRUE(bar->SaveState());

  const std::wstring key = kToolbarKeys + L"UxToolBar-59392";
  std::vector<uint8_t> className(std::begin("CUxToolbarButton"), std::end("CUxToolbarButton") - 1);
  const std::vector<uint8_t> golden = bytesOf({
      {0x02, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x10, 0x00}, className,
      dword(100), dword(0), dword(0), {0xFF, 0xFE, 0xFF, 0x02, 0x8B, 0x95, 0x4F, 0x30}, dword(0), dword(0), dword(0), dword(1),
      {0x01, 0x80}, dword(101), dword(0x10000), dword(1), {0xFF, 0xFE, 0xFF, 0x00}, dword(0), dword(0), dword(0), dword(1),
      dword(0), {0xFF, 0xFE, 0xFF, 0x02, 0x19, 0x6A, 0x96, 0x6E}});
  ASSERT_TRUE(stored(key, L"Buttons"));
  EXPECT_EQ(stored(key, L"Buttons")->bytes, golden);
  EXPECT_EQ(stored(key, L"Name")->text, L"標準");
  EXPECT_FALSE(stored(key, L"OriginalItems"));  // no workspace keeps the resource's list

  // Index and sub-id stand side by side in the key's name.
  ASSERT_TRUE(bar->SaveState(L"", -1, 26));
  EXPECT_TRUE(stored(kToolbarKeys + L"UxToolBar-593921a", L"Buttons"));
  ASSERT_TRUE(bar->SaveState(L"Software\\Elsewhere\\", 7));
  EXPECT_TRUE(stored(L"Software\\Elsewhere\\UxToolBar-7", L"Buttons"));

  // Loaded buttons are never checked or pressed; the name and labels flag come back.
  bar->RemoveAllButtons();
  bar->setWindowTitle(QString());
  ASSERT_TRUE(bar->LoadState());
  ASSERT_EQ(commandsOf(bar), (std::vector<unsigned>{100, 101}));
  EXPECT_EQ(bar->GetButton(0)->m_strText, L"開く");
  EXPECT_EQ(bar->GetButtonStyle(1), 0u);
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("標準"));
  bar->m_bTextLabels = true;
  ASSERT_TRUE(bar->SaveState());
  auto* fixed = new FixedLabels(&frame);
  fixed->Create(&frame, CbrsAlignTop, 59392);
  ASSERT_TRUE(fixed->LoadState());
  EXPECT_FALSE(fixed->m_bTextLabels);
  bar->m_bTextLabels = false;
  ASSERT_TRUE(bar->LoadState());
  EXPECT_TRUE(bar->m_bTextLabels);

  // Every button of a forbidden command goes, not only the first.
  bar->InsertButton(std::make_unique<CUxToolbarButton>(100, 0), 2);
  ASSERT_TRUE(bar->SaveState());
  forbiddenCommands() = {100};
  ASSERT_TRUE(bar->LoadState());
  EXPECT_EQ(commandsOf(bar), (std::vector<unsigned>{101}));
  forbiddenCommands().clear();

  // A damaged value changes nothing; a list with a hole falls back to the resource.
  RegistryKey handle;
  ASSERT_TRUE(handle.open(RegistryRoot::CurrentUser, key, false));
  std::vector<uint8_t> cut = golden;
  cut.resize(cut.size() - 5);
  handle.setValue(L"Buttons", RegistryValue::fromBinary(cut));
  EXPECT_FALSE(bar->LoadState());
  EXPECT_EQ(commandsOf(bar), (std::vector<unsigned>{101}));
  EXPECT_EQ(bar->windowTitle(), QStringLiteral("標準"));
  handle.setValue(L"Buttons", RegistryValue::fromBinary(bytesOf({{0x01, 0x00, 0x00, 0x00}})));
  EXPECT_TRUE(bar->LoadState());
  EXPECT_EQ(commandsOf(bar), (std::vector<unsigned>{100, 101, 0, 102}));

  EXPECT_TRUE(bar->RemoveStateFromRegistry());
  EXPECT_FALSE(stored(key, L"Buttons"));
  EXPECT_FALSE(bar->LoadState());
  EXPECT_FALSE(bar->RemoveStateFromRegistry());
  EXPECT_EQ(bar->GetCount(), 4);
}

TEST_F(ToolbarStateTest, AKeptResourceListMergesResourceChangesIntoTheSavedBar) {
  KeepingWorkspace workspace;
  setWorkspace(&workspace, false);
  CUxToolBar* bar = makeBar(&frame, 20);  // the resource now holds 100 101 | 102
  ASSERT_TRUE(bar->SaveState());
  const std::wstring key = kToolbarKeys + L"UxToolBar-20";
  ASSERT_TRUE(stored(key, L"OriginalItems"));
  // Unchanged resource: nothing to merge.
  ASSERT_TRUE(bar->LoadState());
  EXPECT_FALSE(bar->IsResourceChanged());
  EXPECT_EQ(commandsOf(bar), (std::vector<unsigned>{100, 101, 0, 102}));

  // The user's bar was 100 103 under an older resource that held just those two.
  bar->RemoveAllButtons();
  bar->InsertButton(std::make_unique<CUxToolbarButton>(100, 0));
  bar->InsertButton(std::make_unique<CUxToolbarButton>(103, -1, L"old"));
  ASSERT_TRUE(bar->SaveState());
  UxObjectList older;
  for (unsigned id : {100u, 103u}) {
    auto button = std::make_unique<CUxToolbarButton>();
    button->m_nCommandId = id;
    older.items.push_back(std::move(button));
  }
  CUxRegistry writer;
  ASSERT_TRUE(writer.Open(key));
  ASSERT_TRUE(writer.Write(L"OriginalItems", older));
  ASSERT_TRUE(bar->LoadState());
  EXPECT_TRUE(bar->IsResourceChanged());
  EXPECT_EQ(commandsOf(bar), (std::vector<unsigned>{100, 101, 0, 102}));  // 103 left, the rest came in place
}

TEST_F(ToolbarStateTest, AnArchiveNamingABarOrAPopupMenuLoadsOneOfThatClass) {
  const auto store = [](const CObject& object) {
    std::vector<uint8_t> bytes;
    Archive ar(Archive::Store, bytes);
    ar.writeObject(&object);
    return bytes;
  };
  const auto load = [](const std::vector<uint8_t>& bytes, const RuntimeClass* required) {
    Archive ar(Archive::Load, bytes);
    return ar.readObject(required);
  };
  const auto menuItem = [](unsigned command, const wchar_t* text) {
    auto item = std::make_unique<CUxToolbarMenuButton>(command, MenuHandle{}, -1, text);
    item->m_bShowText = true;
    return item;
  };

  CUxToolBar* toolbar = makeBar(&frame, 59392);
  toolbar->setWindowTitle(QStringLiteral("標準"));
  auto* popupItems = new CUxPopupMenuBar(&frame);
  popupItems->InsertButton(menuItem(300, L"切り取り(&T)"));
  popupItems->InsertButton(menuItem(301, L"コピー(&C)"));
  auto* menuBar = new CUxMenuBar(&frame);
  menuBar->InsertButton(menuItem(400, L"ファイル(&F)"));

  // Every bar is a toolbar to the archive, so a reader that asks for one takes any of them.
  for (const CUxToolBar* bar : std::initializer_list<const CUxToolBar*>{toolbar, popupItems, menuBar}) {
    const std::string name = bar->GetRuntimeClass()->className;
    ASSERT_EQ(RuntimeClass::fromName(name), bar->GetRuntimeClass()) << name;
    std::unique_ptr<CObject> object = load(store(*bar), KELVARA_RUNTIME_CLASS(CUxToolBar));
    const auto* loaded = dynamic_cast<const CUxToolBar*>(object.get());
    ASSERT_TRUE(loaded) << name;
    EXPECT_EQ(loaded->GetRuntimeClass(), bar->GetRuntimeClass()) << name;
    EXPECT_EQ(commandsOf(loaded), commandsOf(bar)) << name;
    EXPECT_EQ(loaded->windowTitle(), bar->windowTitle()) << name;
  }
  EXPECT_EQ(std::string(toolbar->GetRuntimeClass()->className), "CUxToolBar");
  EXPECT_EQ(std::string(popupItems->GetRuntimeClass()->className), "CUxPopupMenuBar");
  EXPECT_TRUE(dynamic_cast<CUxPopupMenuBar*>(load(store(*popupItems), nullptr).get()));
  EXPECT_TRUE(dynamic_cast<CUxMenuBar*>(load(store(*menuBar), nullptr).get()));

  CUxPopupMenu popup;
  const std::vector<uint8_t> popupBytes = store(popup);
  EXPECT_EQ(RuntimeClass::fromName("CUxPopupMenu"), popup.GetRuntimeClass());
  EXPECT_TRUE(dynamic_cast<CUxPopupMenu*>(load(popupBytes, KELVARA_RUNTIME_CLASS(CUxPopupMenu)).get()));
  // A popup menu is no bar.
  EXPECT_THROW(load(popupBytes, KELVARA_RUNTIME_CLASS(CUxToolBar)), ArchiveException);
}

TEST_F(ToolbarStateTest, RegistryHelperValueFormatsAndEdges) {
  CUxRegistry reg;
  ASSERT_TRUE(reg.CreateKey(L"Software\\Test"));
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(reg.Write(L"rect", Rect{1, 2, 3, -4}));
  reg.ReadBytes(L"rect", bytes);
  EXPECT_EQ(bytes, bytesOf({dword(1), dword(2), dword(3), dword(0xFFFFFFFC)}));
  ASSERT_TRUE(reg.Write(L"point", Point{5, -1}));
  reg.ReadBytes(L"point", bytes);
  EXPECT_EQ(bytes, bytesOf({{0x05, 0x00}, dword(5), dword(0xFFFFFFFF), dword(0), dword(0), dword(0)}));
  ASSERT_TRUE(reg.Write(L"words", std::vector<uint16_t>{1, 0x203}));
  reg.ReadBytes(L"words", bytes);
  EXPECT_EQ(bytes, bytesOf({dword(2), {0x01, 0x00, 0x03, 0x02}}));
  EXPECT_EQ(reg.dwLastType, 3u);

  Rect rect;
  Point point;
  std::vector<uint16_t> words;
  EXPECT_TRUE(reg.Read(L"rect", rect));
  EXPECT_EQ(rect, (Rect{1, 2, 3, -4}));
  EXPECT_TRUE(reg.Read(L"point", point));
  EXPECT_EQ(point, (Point{5, -1}));
  EXPECT_TRUE(reg.Read(L"words", words));
  EXPECT_EQ(words, (std::vector<uint16_t>{1, 0x203}));
  ASSERT_TRUE(reg.Write(L"short", std::vector<uint32_t>{7}));
  EXPECT_FALSE(reg.Read(L"short", point));  // a point needs two entries
  EXPECT_FALSE(reg.Read(L"point", words));  // a count larger than the data

  uint32_t number = 9;
  EXPECT_FALSE(reg.Read(L"missing", number));
  EXPECT_EQ(number, 9u);
  ASSERT_TRUE(reg.Write(L"text", L"日本語"));
  EXPECT_EQ(reg.dwLastSize, 4u);
  std::wstring text;
  EXPECT_TRUE(reg.Read(L"text", text));
  EXPECT_EQ(text, L"日本語");
  ASSERT_TRUE(reg.Write(L"int", -5));
  EXPECT_EQ(reg.dwLastType, 4u);
  int value = 0;
  EXPECT_TRUE(reg.Read(L"int", value));
  EXPECT_EQ(value, -5);
  const std::vector<std::wstring> names{L"a", L"いろは"};
  std::vector<std::wstring> back;
  ASSERT_TRUE(reg.Write(L"names", names));
  EXPECT_TRUE(reg.Read(L"names", back));
  EXPECT_EQ(back, names);
  CUxToolbarButton button(77, -1, L"x");
  ASSERT_TRUE(reg.Write(L"object", static_cast<const CObject*>(&button)));
  std::unique_ptr<CObject> made;
  ASSERT_TRUE(reg.Read(L"object", made));
  EXPECT_EQ(dynamic_cast<CUxToolbarButton&>(*made).m_nCommandId, 77u);
  std::vector<std::wstring> values;
  EXPECT_TRUE(reg.ReadKeyValues(values));
  EXPECT_EQ(values.size(), 8u);

  // Read-only objects write nothing; a failed Open leaves the object at its old key.
  CUxRegistry reader(false, true);
  EXPECT_FALSE(reader.Open(L"Software\\Missing"));
  EXPECT_TRUE(reader.VerifyKey(L"Software\\Test"));
  ASSERT_TRUE(reader.Open(L"Software\\Test"));
  EXPECT_FALSE(reader.Write(L"int", 1));
  EXPECT_FALSE(reader.CreateKey(L"Sub"));
  EXPECT_TRUE(reader.Read(L"int", value));
  EXPECT_TRUE(reader.VerifyValue(L"text"));

  // A key goes with everything below it.
  CUxRegistry deep;
  ASSERT_TRUE(deep.CreateKey(L"Software\\Test\\A\\B"));
  ASSERT_TRUE(deep.Write(L"v", 1));
  CUxRegistry root;
  ASSERT_TRUE(root.Open(L"Software"));
  std::vector<std::wstring> subKeys;
  EXPECT_TRUE(root.ReadSubKeys(subKeys));
  EXPECT_EQ(subKeys, std::vector<std::wstring>{L"Test"});
  EXPECT_TRUE(root.DeleteKey(L"Test"));
  EXPECT_FALSE(root.VerifyKey(L"Test\\A\\B"));

  // The machine root for an administrator object.
  CUxRegistry admin(true);
  ASSERT_TRUE(admin.CreateKey(L"Software\\Shared"));
  ASSERT_TRUE(admin.Write(L"n", 3));
  RegistryKey machine;
  EXPECT_TRUE(machine.open(RegistryRoot::LocalMachine, L"Software\\Shared", false));
  EXPECT_FALSE(CUxRegistry().VerifyKey(L"Software\\Shared"));

  EXPECT_EQ(UxGetRegPath(L"UxToolBars"), kToolbarKeys);
  EXPECT_EQ(UxGetRegPath(L"UxToolBars", L"Given\\"), L"Given\\");
  UxSetRegistryNames(L"", L"");
  EXPECT_EQ(UxGetRegPath(L"UxToolBars"), L"SOFTWARE\\\\UxToolBars\\");
}
