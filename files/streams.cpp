#include "files/streams.h"

#include <cstddef>
#include <cstring>
#include <string>

#include "core/class_registry.h"
#include "core/field_accessors.h"
#include "core/object_model.h"
#include "core/runtime_string.h"

namespace {

constexpr int32_t kTextBufferSize = 1024;

struct TextInputObject {
  RuntimeObject header;
  FileStream* file;
  unsigned char buffer[kTextBufferSize];
  int32_t position;
  int32_t count;
};

struct TextOutputObject {
  RuntimeObject header;
  FileStream* file;
  RuntimeString* delimiter;
};

struct BinaryObject {
  RuntimeObject header;
  FileStream* file;
  bool littleEndian;
};

#if defined(__i386__)
static_assert(sizeof(TextInputObject) == 1060);
static_assert(sizeof(TextOutputObject) == 32);
static_assert(sizeof(BinaryObject) == 32);
#endif

ClassRecord* textInputClass;
ClassRecord* textOutputClass;
ClassRecord* binaryClass;

// The file of any stream object: the first field after the header in all three classes.
FileStream*& FileOf(RuntimeObject* stream) { return reinterpret_cast<TextOutputObject*>(stream)->file; }

FileStream* OpenFileOf(RuntimeObject* stream) { return stream ? FileOf(stream) : nullptr; }

void CloseStream(RuntimeObject* stream) {
  if (stream == nullptr) return;
  FileStream*& file = FileOf(stream);
  if (file == nullptr) return;
  file->Close();
  delete file;
  file = nullptr;
}

void FinaliseStream(RuntimeObject* stream, ClassRecord*) { CloseStream(stream); }

void FinaliseTextOutput(RuntimeObject* stream, ClassRecord*) {
  CloseStream(stream);
  StringRelease(reinterpret_cast<TextOutputObject*>(stream)->delimiter);
  reinterpret_cast<TextOutputObject*>(stream)->delimiter = nullptr;
}

RuntimeObject* NewStream(ClassRecord* classRecord, std::unique_ptr<FileStream> file) {
  RegisterStreamClasses();
  RuntimeObject* stream = NewInstance(classRecord);
  if (stream) FileOf(stream) = file.release();
  return stream;
}

// --- Text input ---

TextInputObject* AsTextInput(RuntimeObject* stream) { return reinterpret_cast<TextInputObject*>(stream); }

void Refill(TextInputObject* stream) {
  int32_t got = 0;
  stream->file->Read(stream->buffer, kTextBufferSize, &got);
  stream->position = 0;
  stream->count = got;
}

// --- Binary ---

BinaryObject* AsBinary(RuntimeObject* stream) { return reinterpret_cast<BinaryObject*>(stream); }

// Reads exactly n bytes in host (little-endian) order; false when fewer were there.
bool ReadNumber(RuntimeObject* stream, void* value, int32_t n) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr) return false;
  unsigned char bytes[8];
  int32_t got = 0;
  if (!file->Read(bytes, n, &got) || got != n) return false;
  if (!AsBinary(stream)->littleEndian)
    for (int32_t index = 0; index < n / 2; index++) std::swap(bytes[index], bytes[n - 1 - index]);
  memcpy(value, bytes, static_cast<size_t>(n));
  return true;
}

void WriteNumber(RuntimeObject* stream, const void* value, int32_t n) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr) return;
  unsigned char bytes[8];
  memcpy(bytes, value, static_cast<size_t>(n));
  if (!AsBinary(stream)->littleEndian)
    for (int32_t index = 0; index < n / 2; index++) std::swap(bytes[index], bytes[n - 1 - index]);
  file->Write(bytes, n);
}

}  // namespace

void RegisterStreamClasses() {
  if (textInputClass) return;
  textInputClass = FindClassByName("TextInputStream");
  if (textInputClass == nullptr) {
    textInputClass = DefineBuiltInClass("TextInputStream", nullptr, sizeof(TextInputObject), nullptr, FinaliseStream);
    AddMethod(textInputClass, "ReadLine", CodeAddress(&TextInputStreamReadLine));
    AddMethod(textInputClass, "ReadAll", CodeAddress(&TextInputStreamReadAll));
    AddProperty(textInputClass, "EOF", nullptr, CodeAddress(&TextInputStreamEOF), nullptr, 0);
    AddMethod(textInputClass, "Close", CodeAddress(&TextInputStreamClose));
  }
  textOutputClass = FindClassByName("TextOutputStream");
  if (textOutputClass == nullptr) {
    textOutputClass =
        DefineBuiltInClass("TextOutputStream", nullptr, sizeof(TextOutputObject), nullptr, FinaliseTextOutput);
    AddProperty(textOutputClass, "Delimiter", nullptr, CodeAddress(&stringGetter), CodeAddress(&stringSetter),
                offsetof(TextOutputObject, delimiter));
    AddMethod(textOutputClass, "WriteLine", CodeAddress(&TextOutputStreamWriteLine));
    AddMethod(textOutputClass, "Write", CodeAddress(&TextOutputStreamWrite));
    AddMethod(textOutputClass, "Close", CodeAddress(&TextOutputStreamClose));
  }
  binaryClass = FindClassByName("BinaryStream");
  if (binaryClass == nullptr) {
    binaryClass = DefineBuiltInClass("BinaryStream", nullptr, sizeof(BinaryObject), nullptr, FinaliseStream);
    AddProperty(binaryClass, "LittleEndian", nullptr, CodeAddress(&ByteFieldGetter), CodeAddress(&ByteFieldSetter),
                offsetof(BinaryObject, littleEndian));
    AddProperty(binaryClass, "EOF", nullptr, CodeAddress(&BinaryStreamEOF), nullptr, 0);
    AddProperty(binaryClass, "Length", nullptr, CodeAddress(&BinaryStreamGetLength), CodeAddress(&BinaryStreamSetLength), 0);
    AddProperty(binaryClass, "Position", nullptr, CodeAddress(&BinaryStreamGetPosition), CodeAddress(&BinaryStreamSetPosition),
                0);
    const struct {
      const char* name;
      void* entry;
    } methods[] = {
        {"ReadByte", CodeAddress(&BinaryStreamReadByte)},       {"ReadShort", CodeAddress(&BinaryStreamReadShort)},
        {"ReadLong", CodeAddress(&BinaryStreamReadLong)},       {"ReadSingle", CodeAddress(&BinaryStreamReadFloat)},
        {"ReadDouble", CodeAddress(&BinaryStreamReadDouble)},   {"ReadPString", CodeAddress(&BinaryStreamReadPString)},
        {"Read", CodeAddress(&BinaryStreamRead)},               {"WriteByte", CodeAddress(&BinaryStreamWriteByte)},
        {"WriteShort", CodeAddress(&BinaryStreamWriteShort)},   {"WriteLong", CodeAddress(&BinaryStreamWriteLong)},
        {"WriteSingle", CodeAddress(&BinaryStreamWriteFloat)},  {"WriteDouble", CodeAddress(&BinaryStreamWriteDouble)},
        {"WritePString", CodeAddress(&BinaryStreamWritePString)}, {"Write", CodeAddress(&BinaryStreamWrite)},
        {"Close", CodeAddress(&BinaryStreamClose)},
    };
    for (const auto& method : methods) AddMethod(binaryClass, method.name, method.entry);
  }
}

RuntimeObject* NewTextInputStream(std::unique_ptr<FileStream> file) {
  RegisterStreamClasses();
  return NewStream(textInputClass, std::move(file));
}

RuntimeObject* NewTextOutputStream(std::unique_ptr<FileStream> file) {
  RegisterStreamClasses();
  return NewStream(textOutputClass, std::move(file));
}

RuntimeObject* NewBinaryStream(std::unique_ptr<FileStream> file) {
  RegisterStreamClasses();
  return NewStream(binaryClass, std::move(file));
}

extern "C" {

RuntimeString* TextInputStreamReadLine(RuntimeObject* object) {
  if (OpenFileOf(object) == nullptr) return nullptr;
  TextInputObject* stream = AsTextInput(object);
  std::string line;
  for (;;) {
    int32_t start = stream->position;
    int32_t stop = start;
    while (stop < stream->count && stream->buffer[stop] != 13 && stream->buffer[stop] != 10) stop++;
    line.append(reinterpret_cast<const char*>(stream->buffer + start), static_cast<size_t>(stop - start));
    stream->position = stop;
    if (stop < stream->count) {
      unsigned char end = stream->buffer[stop];
      stream->position++;
      // CR LF is one line end, also when a refill falls between the two.
      if (end == 13 && stream->position >= stream->count) Refill(stream);
      if (end == 13 && stream->position < stream->count && stream->buffer[stream->position] == 10)
        stream->position++;
      break;
    }
    if (stream->file->AtEnd()) break;
    Refill(stream);
    if (stream->count == 0) break;  // a failed read at a position short of the end
  }
  return StringFromBytes(line.data(), static_cast<int32_t>(line.size()));
}

RuntimeString* TextInputStreamReadAll(RuntimeObject* object) {
  if (OpenFileOf(object) == nullptr) return nullptr;
  TextInputObject* stream = AsTextInput(object);
  std::string text(reinterpret_cast<const char*>(stream->buffer + stream->position),
                   static_cast<size_t>(stream->count - stream->position));
  stream->position = stream->count;
  for (;;) {
    Refill(stream);
    if (stream->count == 0) break;
    text.append(reinterpret_cast<const char*>(stream->buffer), static_cast<size_t>(stream->count));
    stream->position = stream->count;
  }
  return StringFromBytes(text.data(), static_cast<int32_t>(text.size()));
}

bool TextInputStreamEOF(RuntimeObject* object, int32_t) {
  FileStream* file = OpenFileOf(object);
  if (file == nullptr) return false;
  TextInputObject* stream = AsTextInput(object);
  return stream->position >= stream->count && file->AtEnd();
}

void TextInputStreamClose(RuntimeObject* stream) { CloseStream(stream); }

void TextOutputStreamWrite(RuntimeObject* stream, RuntimeString* text) {
  FileStream* file = OpenFileOf(stream);
  if (file && StringLength(text) > 0) file->Write(StringCText(text), StringLength(text));
}

void TextOutputStreamWriteLine(RuntimeObject* stream, RuntimeString* text) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr) return;
  RuntimeString* delimiter = reinterpret_cast<TextOutputObject*>(stream)->delimiter;
  const char* end = StringLength(delimiter) > 0 ? StringCText(delimiter) : "\r\n";
  int32_t endLength = StringLength(delimiter) > 0 ? StringLength(delimiter) : 2;
  int32_t length = StringLength(text);
  // A short line goes to the system in one write with its line end.
  char line[1024];
  if (length + endLength <= static_cast<int32_t>(sizeof line)) {
    if (length) memcpy(line, StringCText(text), static_cast<size_t>(length));
    memcpy(line + length, end, static_cast<size_t>(endLength));
    file->Write(line, length + endLength);
    return;
  }
  TextOutputStreamWrite(stream, text);
  file->Write(end, endLength);
}

void TextOutputStreamClose(RuntimeObject* stream) { CloseStream(stream); }

bool BinaryStreamEOF(RuntimeObject* stream, int32_t) {
  FileStream* file = OpenFileOf(stream);
  return file == nullptr || file->AtEnd();
}

int32_t BinaryStreamGetLength(RuntimeObject* stream, int32_t) {
  FileStream* file = OpenFileOf(stream);
  return file ? file->Length() : 0;
}

void BinaryStreamSetLength(RuntimeObject* stream, int32_t, int32_t length) {
  // A negative length would ask the system to seek before the start; it changes nothing.
  if (FileStream* file = OpenFileOf(stream); file && length >= 0) file->SetLength(length);
}

int32_t BinaryStreamGetPosition(RuntimeObject* stream, int32_t) {
  FileStream* file = OpenFileOf(stream);
  return file ? file->Position() : 0;
}

void BinaryStreamSetPosition(RuntimeObject* stream, int32_t, int32_t position) {
  if (FileStream* file = OpenFileOf(stream)) file->Seek(position);
}

int32_t BinaryStreamReadByte(RuntimeObject* stream) {
  uint8_t value = 0;
  return ReadNumber(stream, &value, 1) ? value : 0;
}

int32_t BinaryStreamReadShort(RuntimeObject* stream) {
  int16_t value = 0;
  return ReadNumber(stream, &value, 2) ? value : 0;
}

int32_t BinaryStreamReadLong(RuntimeObject* stream) {
  int32_t value = 0;
  return ReadNumber(stream, &value, 4) ? value : 0;
}

double BinaryStreamReadFloat(RuntimeObject* stream) {
  float value = 0;
  return ReadNumber(stream, &value, 4) ? value : 0.0;
}

double BinaryStreamReadDouble(RuntimeObject* stream) {
  double value = 0;
  return ReadNumber(stream, &value, 8) ? value : 0.0;
}

RuntimeString* BinaryStreamReadPString(RuntimeObject* stream) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr) return nullptr;
  unsigned char bytes[256];
  int32_t got = 0;
  if (!file->Read(bytes, 1, &got) || got != 1 || bytes[0] == 0) return nullptr;
  int32_t length = bytes[0];
  if (!file->Read(bytes + 1, length, &got) || got != length) return nullptr;
  return StringFromBytes(bytes + 1, length);
}

RuntimeString* BinaryStreamRead(RuntimeObject* stream, int32_t count) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr || count <= 0) return nullptr;
  // Never more than what is left, so that a huge count asks for no huge buffer.
  int32_t left = file->Length() - file->Position();
  if (left <= 0) return nullptr;
  if (count > left) count = left;
  RuntimeString* text = nullptr;
  StringMakeFromBytes(&text, nullptr, count);
  int32_t got = 0;
  if (text == nullptr || !file->Read(text->buffer + 1, count, &got) || got <= 0) {
    StringRelease(text);
    return nullptr;
  }
  if (got == count) return text;
  RuntimeString* shorter = StringTakeLeft(text, got);
  StringRelease(text);
  return shorter;
}

void BinaryStreamWriteByte(RuntimeObject* stream, int32_t value) {
  uint8_t byte = static_cast<uint8_t>(value);
  WriteNumber(stream, &byte, 1);
}

void BinaryStreamWriteShort(RuntimeObject* stream, int32_t value) {
  uint16_t half = static_cast<uint16_t>(value);
  WriteNumber(stream, &half, 2);
}

void BinaryStreamWriteLong(RuntimeObject* stream, int32_t value) { WriteNumber(stream, &value, 4); }

void BinaryStreamWriteFloat(RuntimeObject* stream, double value) {
  float single = static_cast<float>(value);
  WriteNumber(stream, &single, 4);
}

void BinaryStreamWriteDouble(RuntimeObject* stream, double value) { WriteNumber(stream, &value, 8); }

void BinaryStreamWritePString(RuntimeObject* stream, RuntimeString* text) {
  FileStream* file = OpenFileOf(stream);
  if (file == nullptr) return;
  int32_t length = StringLength(text) > 255 ? 255 : StringLength(text);
  unsigned char bytes[256];
  bytes[0] = static_cast<unsigned char>(length);
  if (length) memcpy(bytes + 1, StringCText(text), static_cast<size_t>(length));
  file->Write(bytes, length + 1);
}

void BinaryStreamWrite(RuntimeObject* stream, RuntimeString* text) {
  FileStream* file = OpenFileOf(stream);
  if (file && StringLength(text) > 0) file->Write(StringCText(text), StringLength(text));
}

void BinaryStreamClose(RuntimeObject* stream) { CloseStream(stream); }

}  // extern "C"
