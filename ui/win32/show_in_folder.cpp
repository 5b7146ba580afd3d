#include "ui/win32/show_in_folder.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "ui/win32/application.h"

namespace quenmar::win32 {
namespace {

FolderShower& TestShower() {
  static FolderShower shower;
  return shower;
}

// The shell's item lists of Paths, freed with the object.
class ItemLists {
 public:
  ~ItemLists() {
    for (PIDLIST_ABSOLUTE item : items_) ::ILFree(item);
  }
  PIDLIST_ABSOLUTE Add(const Text& path) {
    PIDLIST_ABSOLUTE item = ::ILCreateFromPathW(W(path));
    if (item != nullptr) items_.push_back(item);
    return item;
  }

 private:
  std::vector<PIDLIST_ABSOLUTE> items_;
};

bool SelectInExplorer(const Text& folder, const std::vector<Text>& files) {
  ItemLists lists;
  PIDLIST_ABSOLUTE folderItem = lists.Add(folder);
  if (folderItem == nullptr) return false;
  std::vector<PCUITEMID_CHILD> children;
  for (const Text& file : files) {
    if (PIDLIST_ABSOLUTE item = lists.Add(file)) children.push_back(::ILFindLastID(item));
  }
  if (children.empty()) return false;
  // The shell's folder views are COM objects; the window's thread is a
  // single-threaded apartment (a second call only counts).
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  const HRESULT shown = ::SHOpenFolderAndSelectItems(folderItem, static_cast<UINT>(children.size()), children.data(), 0);
  if (SUCCEEDED(com)) ::CoUninitialize();
  return SUCCEEDED(shown);
}

}  // namespace

void SetFolderShower(FolderShower shower) { TestShower() = std::move(shower); }

void ShowInFolder(const Text& folder, const std::vector<Text>& files) {
  if (TestShower()) {
    TestShower()(folder, files);
    return;
  }
  if (!SelectInExplorer(folder, files)) ::ShellExecuteW(nullptr, L"open", W(folder), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace quenmar::win32
