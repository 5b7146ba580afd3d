#include "support/messages.h"

#include <new>

#include "support/exceptions.h"
#include "support/utf8.h"

namespace quenmar {
namespace {

using platform::IoCode;

enum class Trouble {
  kGeneral,
  // Told by the system's code.
  kInUse,
  kDiskFull,
  kAccessDenied,
  kReadOnly,
  kWriteProtected,
  kFileNotFound,
  kPathNotFound,
  kPathTooLong,
  kInvalidName,
  kNotAFile,
  kTooManyOpenFiles,
  kNotReady,
  kNetwork,
  kOutOfMemory,
  // The archive and its entries.
  kDamagedArchive,
  kDamagedEntry,
  kCrcMismatch,
  kEncrypted,
  kZip64,
  kUnsupportedMethod,
  kTooLargeForZip,
  // Names.
  kNoDate,
  kForbiddenCharacters,
  kLeadsOutside,
  kNoNewName,
  kNewNameTooLong,
  // File operations whose code says nothing more.
  kCannotOpen,
  kCannotCreate,
  kCannotRead,
  kCannotWrite,
};

struct Sentence {
  Trouble trouble;
  const char16_t* text;
};

// The program's messages. The date rule's sentence is a clause of its own and
// was worded before the others; people know it as it stands.
constexpr Sentence kSentences[] = {
    {Trouble::kGeneral, u"Nastala neočekávaná chyba."},
    {Trouble::kInUse, u"Soubor používá jiný program. Zavřete ho a zkuste to znovu."},
    {Trouble::kDiskFull, u"Na disku není dost místa. Uvolněte místo a zkuste to znovu."},
    {Trouble::kAccessDenied, u"Přístup byl odepřen. Zkontrolujte oprávnění a zda soubor není jen pro čtení."},
    {Trouble::kReadOnly, u"Soubor je jen pro čtení. Zrušte u něj atribut Jen pro čtení nebo ho smažte a zkuste to znovu."},
    {Trouble::kWriteProtected, u"Disk je chráněný proti zápisu. Zrušte ochranu nebo archiv přesuňte jinam."},
    {Trouble::kFileNotFound, u"Soubor nebyl nalezen. Zkontrolujte cestu."},
    {Trouble::kPathNotFound, u"Cesta k souboru nebyla nalezena. Zkontrolujte ji."},
    {Trouble::kPathTooLong, u"Cesta k souboru je příliš dlouhá. Přesuňte archiv do složky s kratší cestou."},
    {Trouble::kInvalidName, u"Název souboru nebo složky není platný. Zkontrolujte cestu."},
    {Trouble::kNotAFile, u"Zadaná cesta nevede k obyčejnému souboru."},
    {Trouble::kTooManyOpenFiles, u"Je otevřeno příliš mnoho souborů. Zavřete některé programy a zkuste to znovu."},
    {Trouble::kNotReady, u"Disk není připravený. Zkontrolujte, zda je připojený, a zkuste to znovu."},
    {Trouble::kNetwork, u"Síťové umístění není dostupné. Zkontrolujte připojení a zkuste to znovu."},
    {Trouble::kOutOfMemory, u"Nedostatek paměti. Zavřete některé programy a zkuste to znovu."},
    {Trouble::kDamagedArchive, u"Soubor není platný archiv ZIP nebo je poškozený."},
    {Trouble::kDamagedEntry, u"Archiv je poškozený, data položky nelze přečíst."},
    {Trouble::kCrcMismatch, u"Archiv je poškozený, data položky neodpovídají kontrolnímu součtu."},
    {Trouble::kEncrypted, u"Položka je zašifrovaná. Uložte archiv bez hesla a zkuste to znovu."},
    {Trouble::kZip64, u"Archiv je ve formátu Zip64, který program nepodporuje."},
    {Trouble::kUnsupportedMethod,
     u"Položka je komprimovaná metodou, kterou program nepodporuje. Uložte archiv s metodou Deflate."},
    {Trouble::kTooLargeForZip, u"Výsledný archiv by byl pro formát ZIP bez Zip64 příliš velký."},
    {Trouble::kNoDate, u"název nezačíná platným datem RRRR-MM-DD"},
    {Trouble::kForbiddenCharacters, u"Název obsahuje znaky, které v názvu souboru nejsou povolené."},
    {Trouble::kLeadsOutside, u"Název položky vede mimo cílovou složku, proto ji program odmítl."},
    {Trouble::kNoNewName, u"Z názvu položky nevznikl platný nový název."},
    {Trouble::kNewNameTooLong, u"Nový název položky je příliš dlouhý."},
    {Trouble::kCannotOpen, u"Soubor nelze otevřít."},
    {Trouble::kCannotCreate, u"Soubor nelze vytvořit. Zkontrolujte, zda lze do složky zapisovat."},
    {Trouble::kCannotRead, u"Soubor nelze přečíst. Zkontrolujte disk nebo síťové připojení."},
    {Trouble::kCannotWrite, u"Zápis do souboru selhal. Zkontrolujte místo na disku a zkuste to znovu."},
};

Text SentenceFor(Trouble trouble) {
  for (const Sentence& s : kSentences) {
    if (s.trouble == trouble) return s.text;
  }
  return kSentences[0].text;
}

Trouble TroubleOfCode(IoCode code) {
  switch (code) {
    case IoCode::kSharingViolation: case IoCode::kLockViolation: return Trouble::kInUse;
    case IoCode::kDiskFull: case IoCode::kHandleDiskFull: case IoCode::kDiskFullOnWrite: return Trouble::kDiskFull;
    case IoCode::kAccessDenied: return Trouble::kAccessDenied;
    case IoCode::kFileReadOnly: return Trouble::kReadOnly;
    case IoCode::kWriteProtected: return Trouble::kWriteProtected;
    case IoCode::kFileNotFound: return Trouble::kFileNotFound;
    case IoCode::kPathNotFound: return Trouble::kPathNotFound;
    case IoCode::kFileNameTooLong: return Trouble::kPathTooLong;
    case IoCode::kInvalidName: return Trouble::kInvalidName;
    case IoCode::kInvalidFunction: return Trouble::kNotAFile;  // how both platform layers refuse a pipe or a device
    case IoCode::kTooManyOpenFiles: return Trouble::kTooManyOpenFiles;
    case IoCode::kNotReady: return Trouble::kNotReady;
    case IoCode::kBadNetworkPath: case IoCode::kNetworkNameDeleted: case IoCode::kBadNetworkName:
      return Trouble::kNetwork;
    case IoCode::kNotEnoughMemory: case IoCode::kOutOfMemory: return Trouble::kOutOfMemory;
    default: return Trouble::kGeneral;
  }
}

template <typename E>
bool Is(const Exception& e) {
  return dynamic_cast<const E*>(&e) != nullptr;
}

Trouble TroubleOfZip(const Text& message, Trouble damaged) {
  const TextView m = message;
  if (m == kCrcMismatch) return Trouble::kCrcMismatch;
  if (m == kErrorReadingZip || m == kStreamReadError || m == kInvalidLocalSignature || m == kInvalidCentralSignature) {
    return damaged;
  }
  if (m == kEncryptedNotSupported) return Trouble::kEncrypted;
  if (m == kZip64NotSupported) return Trouble::kZip64;
  if (m.starts_with(kUnsupportedMethod) || m.starts_with(kNotRegistered)) return Trouble::kUnsupportedMethod;
  if (m == kEntryTooLarge || m == kTooManyEntries || m == kArchiveTooLarge) return Trouble::kTooLargeForZip;
  if (m.starts_with(kErrorWritingZip)) return Trouble::kCannotWrite;
  return Trouble::kGeneral;
}

Trouble TroubleOfName(const Text& message) {
  const TextView m = message;
  if (m == kInvalidPathCharacters) return Trouble::kForbiddenCharacters;
  if (m == kLeadsOutside) return Trouble::kLeadsOutside;
  if (m.starts_with(kInvalidNewName)) return Trouble::kNoNewName;
  if (m.starts_with(kNewNameTooLong)) return Trouble::kNewNameTooLong;
  return Trouble::kGeneral;
}

Trouble TroubleOf(const Exception& e, bool ofEntry) {
  if (const Trouble byCode = TroubleOfCode(e.Code()); byCode != Trouble::kGeneral) return byCode;
  const Trouble damaged = ofEntry ? Trouble::kDamagedEntry : Trouble::kDamagedArchive;
  if (Is<ERangeError>(e) || Is<EConvertError>(e)) return Trouble::kNoDate;  // only the date rule raises them
  if (Is<EZipException>(e)) return TroubleOfZip(e.Message(), damaged);
  if (Is<EArgumentException>(e)) return TroubleOfName(e.Message());
  if (Is<EPathTooLongException>(e)) return Trouble::kPathTooLong;
  if (Is<EFileNotFoundException>(e)) return Trouble::kFileNotFound;
  if (Is<EDirectoryNotFoundException>(e)) return Trouble::kPathNotFound;
  if (e.Message() == kInsufficientMemory) return Trouble::kOutOfMemory;
  if (Is<EZDecompressionError>(e)) return damaged;
  // A read that fell short without a word from the system met the end of the data.
  if (Is<EReadError>(e)) return e.Code() == IoCode::kOk ? damaged : Trouble::kCannotRead;
  if (Is<EWriteError>(e)) return Trouble::kCannotWrite;
  if (Is<EFCreateError>(e)) return Trouble::kCannotCreate;
  if (Is<EFOpenError>(e)) return Trouble::kCannotOpen;
  return Trouble::kGeneral;
}

}  // namespace

Text FailureMessage(const std::exception& failure, bool ofEntry) {
  const auto* ours = dynamic_cast<const Exception*>(&failure);
  Trouble trouble = Trouble::kGeneral;
  if (ours != nullptr) {
    trouble = TroubleOf(*ours, ofEntry);
  } else if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr) {
    trouble = Trouble::kOutOfMemory;
  }
  const Text english = ours != nullptr ? ours->Message() : Utf8ToText(failure.what());
  return SentenceFor(trouble) + u" (" + english + u")";
}

}  // namespace quenmar
