// The language's stream classes over the file layer: TextInputStream (lines through a 1024-byte
// buffer), TextOutputStream (text with a line delimiter) and BinaryStream (bytes, numbers and
// strings in either byte order).
#pragma once

#include <cstdint>
#include <memory>

#include "core/runtime_layout.h"
#include "files/file_stream.h"

void RegisterStreamClasses();

// New stream objects (one reference, for the caller) that own the open file.
RuntimeObject* NewTextInputStream(std::unique_ptr<FileStream> file);
RuntimeObject* NewTextOutputStream(std::unique_ptr<FileStream> file);
RuntimeObject* NewBinaryStream(std::unique_ptr<FileStream> file);

extern "C" {
RuntimeString* TextInputStreamReadLine(RuntimeObject* stream);
RuntimeString* TextInputStreamReadAll(RuntimeObject* stream);
bool TextInputStreamEOF(RuntimeObject* stream, int32_t parameter);
void TextInputStreamClose(RuntimeObject* stream);

void TextOutputStreamWriteLine(RuntimeObject* stream, RuntimeString* text);
void TextOutputStreamWrite(RuntimeObject* stream, RuntimeString* text);
void TextOutputStreamClose(RuntimeObject* stream);

bool BinaryStreamEOF(RuntimeObject* stream, int32_t parameter);
int32_t BinaryStreamGetLength(RuntimeObject* stream, int32_t parameter);
void BinaryStreamSetLength(RuntimeObject* stream, int32_t parameter, int32_t length);
int32_t BinaryStreamGetPosition(RuntimeObject* stream, int32_t parameter);
void BinaryStreamSetPosition(RuntimeObject* stream, int32_t parameter, int32_t position);
int32_t BinaryStreamReadByte(RuntimeObject* stream);
int32_t BinaryStreamReadShort(RuntimeObject* stream);
int32_t BinaryStreamReadLong(RuntimeObject* stream);
double BinaryStreamReadFloat(RuntimeObject* stream);
double BinaryStreamReadDouble(RuntimeObject* stream);
RuntimeString* BinaryStreamReadPString(RuntimeObject* stream);
RuntimeString* BinaryStreamRead(RuntimeObject* stream, int32_t count);
void BinaryStreamWriteByte(RuntimeObject* stream, int32_t value);
void BinaryStreamWriteShort(RuntimeObject* stream, int32_t value);
void BinaryStreamWriteLong(RuntimeObject* stream, int32_t value);
void BinaryStreamWriteFloat(RuntimeObject* stream, double value);
void BinaryStreamWriteDouble(RuntimeObject* stream, double value);
void BinaryStreamWritePString(RuntimeObject* stream, RuntimeString* text);
void BinaryStreamWrite(RuntimeObject* stream, RuntimeString* text);
void BinaryStreamClose(RuntimeObject* stream);
}
