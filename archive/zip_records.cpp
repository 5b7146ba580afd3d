#include "archive/zip_records.h"

#include "archive/zip_format.h"

namespace quenmar {

namespace zf = zipformat;

void AppendLocalHeaderTail(TBytes& out, const TZipHeader& h) {
  zf::PutU16(out, h.RequiredVersion);
  zf::PutU16(out, h.Flag);
  zf::PutU16(out, h.CompressionMethod);
  zf::PutU32(out, h.ModifiedDateTime);
  zf::PutU32(out, h.CRC32);
  zf::PutU32(out, h.CompressedSize);
  zf::PutU32(out, h.UncompressedSize);
  zf::PutU16(out, h.FileNameLength);
  zf::PutU16(out, h.ExtraFieldLength);
}

void AppendLocalHeader(TBytes& out, const TZipHeader& h) {
  zf::PutU32(out, zf::kLocalHeaderSignature);
  AppendLocalHeaderTail(out, h);
  out += h.FileName;
  out += h.ExtraField;
}

void AppendCentralRecord(TBytes& out, const TZipHeader& h) {
  zf::PutU32(out, zf::kCentralHeaderSignature);
  zf::PutU16(out, h.MadeByVersion);
  AppendLocalHeaderTail(out, h);
  zf::PutU16(out, h.FileCommentLength);
  zf::PutU16(out, h.DiskNumberStart);
  zf::PutU16(out, h.InternalAttributes);
  zf::PutU32(out, h.ExternalAttributes);
  zf::PutU32(out, h.LocalHeaderOffset);
  out += h.FileName;
  out += h.ExtraField;
  out += h.FileComment;
}

namespace {

// The 26 bytes from "version needed" to "extra field length", as
// AppendLocalHeaderTail writes them.
void ReadLocalHeaderTail(zf::Cursor& in, TZipHeader& h) {
  h.RequiredVersion = in.U16();
  h.Flag = in.U16();
  h.CompressionMethod = in.U16();
  h.ModifiedDateTime = in.U32();
  h.CRC32 = in.U32();
  h.CompressedSize = in.U32();
  h.UncompressedSize = in.U32();
  h.FileNameLength = in.U16();
  h.ExtraFieldLength = in.U16();
}

}  // namespace

TZipHeader ParseCentralRecord(std::string_view record) {
  zf::Cursor in(record);
  TZipHeader h;
  (void)in.U32();  // the signature, checked where the record was found
  h.MadeByVersion = in.U16();
  ReadLocalHeaderTail(in, h);
  h.FileCommentLength = in.U16();
  h.DiskNumberStart = in.U16();
  h.InternalAttributes = in.U16();
  h.ExternalAttributes = in.U32();
  h.LocalHeaderOffset = in.U32();
  h.FileName = in.Take(h.FileNameLength);
  h.ExtraField = in.Take(h.ExtraFieldLength);
  h.FileComment = in.Take(h.FileCommentLength);
  return h;
}

TZipHeader ParseLocalHeaderTail(std::string_view fixed) {
  zf::Cursor in(fixed);
  TZipHeader h;
  ReadLocalHeaderTail(in, h);
  return h;
}

EndRecord ParseEndRecord(std::string_view record) {
  zf::Cursor in(record);
  EndRecord end;
  (void)in.U32();  // the signature, checked where the record was found
  (void)in.U16();  // this disk's number
  (void)in.U16();  // the disk where the directory starts
  (void)in.U16();  // entries on this disk
  end.entryCount = in.U16();
  end.directorySize = in.U32();
  end.directoryOffset = in.U32();
  end.commentLength = in.U16();
  return end;
}

}  // namespace quenmar
