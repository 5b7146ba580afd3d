#include "ui/win32/verb_drop.h"

#include <ole2.h>

#include <string>

namespace quenmar::win32 {

const CLSID kVerbDropClass = {0x8546A79D, 0x8250, 0x406C, {0xA0, 0x82, 0x6F, 0xA6, 0x4E, 0xD8, 0xA2, 0x4B}};

bool StartedForVerb(const std::vector<Text>& arguments) {
  return arguments.size() == 1 && (arguments[0] == u"-Embedding" || arguments[0] == u"/Embedding");
}

std::vector<Text> DroppedPaths(HDROP drop) {
  std::vector<Text> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
    paths.emplace_back(name.begin(), name.end());
  }
  return paths;
}

namespace {

// The drop target and its class factory, both living as long as the process; COM's
// reference counts do not decide their lifetime.
class VerbDropTarget final : public IDropTarget {
 public:
  std::vector<Text> paths;
  bool dropped = false;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IDropTarget) {
      *object = static_cast<IDropTarget*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_NONE;
    if (dropped || data == nullptr) return E_UNEXPECTED;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    const HRESULT got = data->GetData(&format, &medium);
    if (FAILED(got)) return got;
    if (auto* drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
      paths = DroppedPaths(drop);
      ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    dropped = true;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
};

class VerbDropFactory final : public IClassFactory {
 public:
  explicit VerbDropFactory(VerbDropTarget& target) : target_(target) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return target_.QueryInterface(id, object);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  VerbDropTarget& target_;
};

}  // namespace

std::vector<Text> ReceiveVerbDrop(DWORD waitMilliseconds) {
  static VerbDropTarget target;
  static VerbDropFactory factory(target);
  DWORD cookie = 0;
  if (FAILED(::CoRegisterClassObject(kVerbDropClass, &factory, CLSCTX_LOCAL_SERVER, REGCLS_SINGLEUSE, &cookie))) {
    return {};
  }
  const ULONGLONG deadline = ::GetTickCount64() + waitMilliseconds;
  bool quit = false;
  while (!target.dropped && !quit) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) break;
    ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                  MWMO_INPUTAVAILABLE);
    MSG message;
    while (!quit && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        ::PostQuitMessage(static_cast<int>(message.wParam));
        break;
      }
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  ::CoRevokeClassObject(cookie);
  return target.paths;
}

}  // namespace quenmar::win32
