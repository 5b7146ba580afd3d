// TZipFile: one ZIP archive, open for reading (list, look up and extract entries)
// or for writing (add entries, then Close writes the central directory and the
// end record). Single-disk archives without Zip64 records or encryption; entries
// stored (method 0) or deflated (method 8), through the compression registry.
//
// Ownership: an archive opened by name owns its file and releases it on Close; an
// archive opened on a stream leaves the stream to its caller, who must keep it
// alive until Close. Destroying an archive still open for writing completes it
// with the entries added so far (errors of that last Close are swallowed; call
// Close to see them).
//
// Raises EZipException with fixed messages ("File must be open", "Error reading
// zip file", ...), and the stream and path exceptions of support/exceptions.h.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "archive/central_directory.h"
#include "archive/compression_registry.h"
#include "archive/entry_compression.h"
#include "archive/file_stream.h"
#include "archive/name_index.h"
#include "archive/stream.h"
#include "archive/zip_header.h"
#include "support/text.h"

namespace quenmar {

class TZipFile;

// Fired after each block the compressing or decompressing stream moves and after
// each entry. Position counts the entry's uncompressed bytes done.
using TZipProgressEvent = std::function<void(TZipFile& sender, const Text& fileName,
                                             const TZipHeader& header, int64_t position)>;

class TZipFile {
 public:
  TZipFile() = default;
  ~TZipFile();
  TZipFile(const TZipFile&) = delete;
  TZipFile& operator=(const TZipFile&) = delete;

  // --- Opening and closing -----------------------------------------------------
  // Closes what was open, then opens the named file: zmRead and zmReadWrite need
  // an existing archive, zmWrite creates or empties the file. On failure the
  // object is left closed.
  void Open(TextView zipFileName, TZipMode openMode);
  // The same on a stream the caller keeps owning.
  void Open(TStream& zipFileStream, TZipMode openMode);
  // The same on a file the caller opened (by handle, for instance), which the
  // archive then owns and releases on Close.
  void Open(std::unique_ptr<TFileStream> file, TZipMode openMode);
  // Writes the central directory and end record when open for writing, then
  // closes; the object is closed afterwards even when writing fails.
  void Close();
  // True when the file opens and has an end record.
  static bool IsValid(TextView zipFileName);

  // --- The directory -----------------------------------------------------------
  int FileCount() const;
  std::vector<Text> FileNames() const;
  // First entry whose name equals FileName with ASCII letters folded; -1 if none.
  int IndexOf(TextView fileName) const;
  Text FileName(int index) const;
  TZipHeader FileInfo(int index) const;
  // The entry's uncompressed size as its central record gives it, without
  // building its whole header.
  uint32_t UncompressedSize(int index) const;
  // The same for its stored size and method.
  uint32_t CompressedSize(int index) const;
  uint16_t CompressionMethod(int index) const;
  std::vector<TZipHeader> FileInfos() const;
  Text FileComment(int index) const;
  void SetFileComment(int index, TextView comment);
  Text Comment() const;
  void SetComment(TextView comment);
  TZipMode Mode() const { return FMode; }
  bool UTF8Support() const { return FUTF8Support; }
  void SetUTF8Support(bool value);

  // The entry's stored name decoded by its own flag: UTF-8 when the entry has bit
  // 11, else code page 437. Archivers mark only the names that need it, so this
  // can differ from FileName, which decodes by the archive-wide UTF8Support.
  Text EntryName(int index) const;
  // The name extraction writes the entry under: the name of its Unicode Path
  // field when that is valid, else EntryName ("/"-separated). Reads the entry's
  // local header.
  Text ExtractionName(int index);

  // --- Extraction --------------------------------------------------------------
  void Extract(TextView fileName, TextView path = u"", bool createSubdirs = true);
  void Extract(int index, TextView path = u"", bool createSubdirs = true);
  void ExtractAll(TextView path = u"");
  // Writes the entry into the file FilePath as Extract writes it under its own
  // name (created or written over, the entry's time and attributes); no name of
  // the entry is looked at or joined to the path.
  void ExtractToFile(int index, TextView filePath);
  // The same into a file the caller opened for writing (for example by handle,
  // inside a folder no one else may change); written from its start.
  void ExtractToFile(int index, TFileStream& file);
  // The attribute bits extraction sets on the file of an entry with the central
  // record Central; nothing when it sets none.
  static std::optional<uint32_t> ExtractedAttributes(const TZipHeader& central);
  // The entry's data as the archive holds it (deflated, or stored), read whole
  // into Data: the bytes its decompressing stream would read, as many as the
  // central record says (fewer where the archive ends before), and its local
  // record. Raises what Extract raises for the entry's records before its data
  // is read.
  void ReadStoredData(int index, TBytes& data, TZipHeader& localHeader);
  // Reads the entry's data through and checks it as extraction does, writing
  // nothing: raises what Extract raises for the entry's record and data.
  void Verify(int index);
  void Read(TextView fileName, TBytes& bytes);
  void Read(int index, TBytes& bytes);
  // The entry's decompressing stream, positioned at its data, and its local
  // record. The stream reads from this archive's stream: use it before Close.
  void Read(TextView fileName, std::unique_ptr<TStream>& stream, TZipHeader& localHeader);
  void Read(int index, std::unique_ptr<TStream>& stream, TZipHeader& localHeader);
  // The name of the Info-ZIP Unicode Path record (tag 0x7075) of a local record,
  // when its CRC-32 matches the stored name.
  static bool GetUTF8PathFromExtraField(const TZipHeader& header, Text& fileName);
  static void ExtractZipFile(TextView zipFileName, TextView path, TZipProgressEvent progress = nullptr);

  // --- Writing -----------------------------------------------------------------
  // Adds the file at FilePath as one entry; an empty ArchiveFileName names the
  // entry after the path's last component.
  void Add(TextView filePath, TextView archiveFileName = u"", TZipCompression compression = 8);
  // The same for a file the caller opened for reading; read from its start.
  void Add(TFileStream& file, TextView archiveFileName, TZipCompression compression = 8);
  void Add(const TBytes& data, TextView archiveFileName, TZipCompression compression = 8);
  void Add(TStream& data, TextView archiveFileName, TZipCompression compression = 8,
           uint32_t externalAttributes = 0);
  // The core of every Add: Data from its position to its end, with a prepared
  // local record and an optional separate central record.
  void Add(TStream& data, TZipHeader& localHeader, TZipHeader* centralHeader = nullptr);
  // Appends an entry prepared apart (PrepareEntry): the bytes Add would have
  // written for it.
  void AddPrepared(TPreparedEntry& entry);
  // The same for a record and its compressed bytes held apart. Unflushed, the
  // bytes may stay in the archive stream's buffer, to be written with later
  // ones: the entry then counts as added before it is on disk, so that a failed
  // write can leave entries in the directory whose data is missing. Only for a
  // caller that throws the archive away after any failure.
  void AddPrepared(TZipHeader& local, std::string_view data, bool flush = true);
  static void ZipDirectoryContents(TextView zipFileName, TextView path, TZipCompression compression = 8,
                                   TZipProgressEvent progress = nullptr);

  TZipProgressEvent OnProgress;

 private:
  // Empties FCurrentFile and FCurrentHeader when the work on an entry ends, on
  // every path out of it.
  struct CurrentEntryScope {
    TZipFile& zip;
    ~CurrentEntryScope() {
      zip.FCurrentFile.clear();
      zip.FCurrentHeader = TZipHeader();
    }
  };

  void RequireOpen() const;
  void CheckIndex(int index) const;  // "The specified file was not found" when out of range
  void RequireWritable() const;
  void ReadCentralDirectory();
  Text DecodedName(int index) const;
  void ReadLocalHeader(int index, TZipHeader& local);
  // Checks the entry's records and reads its local one, leaving the archive
  // stream at the entry's data; the handler of its method.
  TCompressionHandler EntryDataHandler(int index, TZipHeader& local);
  std::unique_ptr<TStream> OpenEntryData(int index, TZipHeader& local);
  void ExtractTo(int index, TextView path, bool createSubdirs);
  void WriteEntryFile(int index, TStream& data, const TZipHeader& local, TFileStream& file);
  void WriteCentralDirectory();
  void ForgetEntries();

  TZipMode FMode = zmClosed;
  TStream* FStream = nullptr;
  std::unique_ptr<TFileStream> FFileStream;
  int64_t FStartFileData = 0;
  int64_t FEndFileData = 0;
  CentralDirectory FFiles;
  TBytes FComment;
  bool FUTF8Support = true;
  Text FCurrentFile;
  TZipHeader FCurrentHeader;

  // The local record read last, so that ExtractionName and Extract of one entry
  // read it once.
  int FLastLocalIndex = -1;
  TZipHeader FLastLocal;

  // Built by the first IndexOf, kept up to date by Add.
  mutable NameIndex FNameIndex;
};

}  // namespace quenmar
