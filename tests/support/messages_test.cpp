#include <gtest/gtest.h>

#include <exception>
#include <new>
#include <stdexcept>

#include "support/exceptions.h"
#include "support/messages.h"

namespace quenmar {
namespace {

using platform::IoCode;

Text Told(const std::exception_ptr& failure, bool ofEntry) {
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    return FailureMessage(e, ofEntry);
  }
}

template <typename E, typename... Args>
std::exception_ptr Raised(Args&&... args) {
  return std::make_exception_ptr(E(std::forward<Args>(args)...));
}

// Each kind of failure, raised as the program raises it, gets its Czech sentence,
// and its own English message stays behind it in parentheses. The system's code
// decides before the class and the message do.
TEST(FailureMessage, EveryKindOfFailureGetsItsCzechSentence) {
  const Text inUse = u"Soubor používá jiný program. Zavřete ho a zkuste to znovu.";
  const Text diskFull = u"Na disku není dost místa. Uvolněte místo a zkuste to znovu.";
  const Text denied = u"Přístup byl odepřen. Zkontrolujte oprávnění a zda soubor není jen pro čtení.";
  const Text tooLong = u"Cesta k souboru je příliš dlouhá. Přesuňte archiv do složky s kratší cestou.";
  const Text network = u"Síťové umístění není dostupné. Zkontrolujte připojení a zkuste to znovu.";
  const Text memory = u"Nedostatek paměti. Zavřete některé programy a zkuste to znovu.";
  const Text notZip = u"Soubor není platný archiv ZIP nebo je poškozený.";
  const Text damaged = u"Archiv je poškozený, data položky nelze přečíst.";
  const Text method = u"Položka je komprimovaná metodou, kterou program nepodporuje. Uložte archiv s metodou Deflate.";
  const Text tooLarge = u"Výsledný archiv by byl pro formát ZIP bez Zip64 příliš velký.";
  const Text noDate = u"název nezačíná platným datem RRRR-MM-DD";
  const Text cannotWrite = u"Zápis do souboru selhal. Zkontrolujte místo na disku a zkuste to znovu.";
  const Text general = u"Nastala neočekávaná chyba.";
  const auto eio = static_cast<IoCode>(10005);  // EIO on POSIX: no Windows number, no sentence of its own
  struct Case {
    std::exception_ptr failure;
    bool ofEntry;
    Text sentence, english;
  };
  const Case cases[] = {
      // Told by the system's code, whatever failed.
      {Raised<EFOpenError>(CannotOpenMessage(u"C:\\a.zip", u"Sharing violation"), IoCode::kSharingViolation), false,
       inUse, u"Cannot open file \"C:\\a.zip\". Sharing violation"},
      {Raised<EInOutError>(IoCode::kLockViolation, u"a.zip"), false, inUse, u"I/O error 33"},
      {Raised<EWriteError>(u"Stream write error. No space left on device", IoCode::kDiskFull), true, diskFull,
       u"Stream write error. No space left on device"},
      {Raised<EInOutError>(IoCode::kHandleDiskFull, u""), false, diskFull, u"I/O error 39"},
      {Raised<EInOutError>(IoCode::kDiskFullOnWrite, u""), false, diskFull, u"Disk full"},
      {Raised<EZipException>(Text(kErrorWritingZip) + u". No space left on device", IoCode::kDiskFull), false, diskFull,
       u"Error writing zip file. No space left on device"},
      {Raised<EFCreateError>(CannotCreateMessage(u"/r/a-.zip", u"Read-only file system"), IoCode::kAccessDenied), false,
       denied, u"Cannot create file \"/r/a-.zip\". Read-only file system"},
      {Raised<EFCreateError>(CannotCreateMessage(u"C:\\a-.zip", u"The specified file is read only"),
                             IoCode::kFileReadOnly),
       false, u"Soubor je jen pro čtení. Zrušte u něj atribut Jen pro čtení nebo ho smažte a zkuste to znovu.",
       u"Cannot create file \"C:\\a-.zip\". The specified file is read only"},
      {Raised<EInOutError>(IoCode::kWriteProtected, u""), false,
       u"Disk je chráněný proti zápisu. Zrušte ochranu nebo archiv přesuňte jinam.", u"I/O error 19"},
      {Raised<EFOpenError>(CannotOpenMessage(u"/a.zip", u"No such file or directory"), IoCode::kFileNotFound), false,
       u"Soubor nebyl nalezen. Zkontrolujte cestu.", u"Cannot open file \"/a.zip\". No such file or directory"},
      {Raised<EInOutError>(IoCode::kPathNotFound, u"C:\\x"), false, u"Cesta k souboru nebyla nalezena. Zkontrolujte ji.",
       u"Invalid file name - C:\\x"},
      {Raised<EFOpenError>(CannotOpenMessage(u"C:\\a.zip", u"The filename is too long"), IoCode::kFileNameTooLong),
       false, tooLong, u"Cannot open file \"C:\\a.zip\". The filename is too long"},
      {Raised<EInOutError>(IoCode::kInvalidName, u""), false,
       u"Název souboru nebo složky není platný. Zkontrolujte cestu.", u"I/O error 123"},
      {Raised<EFOpenError>(CannotOpenMessage(u"/p.zip", u"Not a regular file"), IoCode::kInvalidFunction), false,
       u"Zadaná cesta nevede k obyčejnému souboru.", u"Cannot open file \"/p.zip\". Not a regular file"},
      {Raised<EInOutError>(IoCode::kTooManyOpenFiles, u""), false,
       u"Je otevřeno příliš mnoho souborů. Zavřete některé programy a zkuste to znovu.", u"Too many open files"},
      {Raised<EInOutError>(IoCode::kNotReady, u""), false,
       u"Disk není připravený. Zkontrolujte, zda je připojený, a zkuste to znovu.", u"I/O error 21"},
      {Raised<EInOutError>(IoCode::kBadNetworkPath, u""), false, network, u"I/O error 53"},
      {Raised<EInOutError>(IoCode::kNetworkNameDeleted, u""), false, network, u"I/O error 64"},
      {Raised<EInOutError>(IoCode::kOutOfMemory, u""), false, memory, u"I/O error 14"},
      {std::make_exception_ptr(std::bad_alloc()), true, memory, u"std::bad_alloc"},
      {Raised<EZDecompressionError>(kInsufficientMemory), true, memory, u"insufficient memory"},
      // The archive: unreadable as a whole, or in one entry's data.
      {Raised<EZipException>(kErrorReadingZip), false, notZip, u"Error reading zip file"},
      {Raised<EZipException>(kStreamReadError), false, notZip, u"Stream read error"},  // an empty file
      {Raised<EZipException>(kInvalidCentralSignature), false, notZip, u"Invalid Zip Central Header signature"},
      {Raised<EZipException>(kErrorReadingZip), true, damaged, u"Error reading zip file"},
      {Raised<EZipException>(kInvalidLocalSignature), true, damaged, u"Invalid Zip Local Header signature"},
      {Raised<EReadError>(kStreamReadError), true, damaged, u"Stream read error"},  // data cut short
      {Raised<EZDecompressionError>(u"data error"), true, damaged, u"data error"},
      {Raised<EZipException>(kCrcMismatch), true, u"Archiv je poškozený, data položky neodpovídají kontrolnímu součtu.",
       u"CRC-32 mismatch"},
      {Raised<EZipException>(kEncryptedNotSupported), true,
       u"Položka je zašifrovaná. Uložte archiv bez hesla a zkuste to znovu.", u"Encrypted entries are not supported"},
      {Raised<EZipException>(kZip64NotSupported), false, u"Archiv je ve formátu Zip64, který program nepodporuje.",
       u"Zip64 archives are not supported"},
      {Raised<EZipException>(Text(kUnsupportedMethod) + u"12 (BZIP2)"), true, method,
       u"Unsupported compression method 12 (BZIP2)"},
      {Raised<EZipException>(Text(kNotRegistered) + u"LZMA"), true, method,
       u"Support for compression method not registered: LZMA"},
      {Raised<EZipException>(kEntryTooLarge), true, tooLarge, u"Entry too large for a ZIP archive without Zip64"},
      {Raised<EZipException>(kTooManyEntries), true, tooLarge, u"Too many entries for a ZIP archive without Zip64"},
      {Raised<EZipException>(kArchiveTooLarge), true, tooLarge, u"Archive too large for a ZIP archive without Zip64"},
      // Names.
      {Raised<EConvertError>(u"Invalid argument to date encode"), true, noDate, u"Invalid argument to date encode"},
      {Raised<ERangeError>(u"Range check error"), true, noDate, u"Range check error"},
      {Raised<EArgumentException>(kInvalidPathCharacters), true,
       u"Název obsahuje znaky, které v názvu souboru nejsou povolené.", u"Invalid characters in path"},
      {Raised<EArgumentException>(kLeadsOutside), true,
       u"Název položky vede mimo cílovou složku, proto ji program odmítl.",
       u"Entry name leads outside the target folder"},
      {Raised<EArgumentException>(Text(kInvalidNewName) + u" \"2018-09/-fix\""), true,
       u"Z názvu položky nevznikl platný nový název.", u"Invalid new entry name \"2018-09/-fix\""},
      {Raised<EArgumentException>(Text(kNewNameTooLong) + u" (65536 bytes, at most 65535)"), true,
       u"Nový název položky je příliš dlouhý.", u"New entry name is too long (65536 bytes, at most 65535)"},
      {Raised<EPathTooLongException>(kPathTooLong), false, tooLong, u"The specified path is too long"},
      {Raised<EFileNotFoundException>(kFileNotFound), true, u"Soubor nebyl nalezen. Zkontrolujte cestu.",
       u"The specified file was not found"},
      {Raised<EDirectoryNotFoundException>(u"The specified path was not found"), true,
       u"Cesta k souboru nebyla nalezena. Zkontrolujte ji.", u"The specified path was not found"},
      // File operations whose code has no sentence of its own: what was being done.
      {Raised<EFOpenError>(CannotOpenMessage(u"/a.zip", u"Input/output error"), eio), false,
       u"Soubor nelze otevřít.", u"Cannot open file \"/a.zip\". Input/output error"},
      {Raised<EFCreateError>(CannotCreateMessage(u"/a-.zip", u"Input/output error"), eio), false,
       u"Soubor nelze vytvořit. Zkontrolujte, zda lze do složky zapisovat.",
       u"Cannot create file \"/a-.zip\". Input/output error"},
      {Raised<EReadError>(u"Stream read error. Input/output error", eio), true,
       u"Soubor nelze přečíst. Zkontrolujte disk nebo síťové připojení.", u"Stream read error. Input/output error"},
      {Raised<EWriteError>(kStreamWriteError), true, cannotWrite, u"Stream write error"},
      {Raised<EZipException>(kErrorWritingZip), false, cannotWrite, u"Error writing zip file"},
      // Everything else.
      {Raised<EZipException>(u"File must be open"), false, general, u"File must be open"},
      {Raised<EInOutError>(IoCode::kNotSameDevice, u""), false, general, u"I/O error 17"},
      {Raised<EZCompressionError>(u"stream error"), true, general, u"stream error"},
      {std::make_exception_ptr(std::runtime_error("thread: Resource temporarily unavailable")), false, general,
       u"thread: Resource temporarily unavailable"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.english.begin(), c.english.end()));
    EXPECT_EQ(Told(c.failure, c.ofEntry), c.sentence + u" (" + c.english + u")");
  }
}

}  // namespace
}  // namespace quenmar
