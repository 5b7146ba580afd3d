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

TZipHeader ParseCentralRecord(const char* p) {
  TZipHeader h;
  h.MadeByVersion = zf::GetU16(p + 4);
  h.RequiredVersion = zf::GetU16(p + 6);
  h.Flag = zf::GetU16(p + 8);
  h.CompressionMethod = zf::GetU16(p + 10);
  h.ModifiedDateTime = zf::GetU32(p + 12);
  h.CRC32 = zf::GetU32(p + 16);
  h.CompressedSize = zf::GetU32(p + 20);
  h.UncompressedSize = zf::GetU32(p + 24);
  h.FileNameLength = zf::GetU16(p + 28);
  h.ExtraFieldLength = zf::GetU16(p + 30);
  h.FileCommentLength = zf::GetU16(p + 32);
  h.DiskNumberStart = zf::GetU16(p + 34);
  h.InternalAttributes = zf::GetU16(p + 36);
  h.ExternalAttributes = zf::GetU32(p + 38);
  h.LocalHeaderOffset = zf::GetU32(p + 42);
  const char* variable = p + zf::kCentralHeaderLength;
  h.FileName.assign(variable, h.FileNameLength);
  h.ExtraField.assign(variable + h.FileNameLength, h.ExtraFieldLength);
  h.FileComment.assign(variable + h.FileNameLength + h.ExtraFieldLength, h.FileCommentLength);
  return h;
}

}  // namespace quenmar
