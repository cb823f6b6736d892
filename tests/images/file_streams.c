/* Writes a text file and a binary file through the folder item and stream services, reads both
 * back and traces what came back; then deletes them, after which opening fails. */
#include "image_services.h"

void* RuntimeGetFolderItem(RuntimeString* path);
void FolderItemDelete(void* item);
void* FolderItemCreateTextFile(void* item);
void* FolderItemOpenTextFile(void* item);
void* FolderItemCreateBinaryFile(void* item, RuntimeString* type);
void* FolderItemOpenBinaryFile(void* item, _Bool readWrite);
void TextOutputStreamWriteLine(void* stream, RuntimeString* text);
void TextOutputStreamClose(void* stream);
RuntimeString* TextInputStreamReadLine(void* stream);
_Bool TextInputStreamEOF(void* stream, int32_t parameter);
void TextInputStreamClose(void* stream);
void BinaryStreamWriteShort(void* stream, int32_t value);
void BinaryStreamWriteLong(void* stream, int32_t value);
void BinaryStreamWriteDouble(void* stream, double value);
void BinaryStreamWritePString(void* stream, RuntimeString* text);
int32_t BinaryStreamReadShort(void* stream);
int32_t BinaryStreamReadLong(void* stream);
double BinaryStreamReadDouble(void* stream);
RuntimeString* BinaryStreamReadPString(void* stream);
int32_t BinaryStreamGetLength(void* stream, int32_t parameter);
void BinaryStreamSetPosition(void* stream, int32_t parameter, int32_t position);
_Bool BinaryStreamEOF(void* stream, int32_t parameter);
void BinaryStreamClose(void* stream);

KW_STRING(text_name, "file_streams.txt");
KW_STRING(binary_name, "file_streams.bin");
KW_STRING(line1, "first line");
KW_STRING(line2, "second line");
KW_STRING(word, "pascal");
KW_STRING(missing, "nil after delete");

KW_PROJECT(KW_LIST(), KW_LIST());

static void TraceOwned(RuntimeString* text) {
  lineTrace(text);
  RuntimeUnlockString(text);
}

void kw_main(void) {
  RuntimeInit(kw_project);
  void* textItem = RuntimeGetFolderItem(&text_name);
  void* out = FolderItemCreateTextFile(textItem);
  TextOutputStreamWriteLine(out, &line1);
  TextOutputStreamWriteLine(out, &line2);
  TextOutputStreamClose(out);
  RuntimeUnlockObject(out);
  void* in = FolderItemOpenTextFile(textItem);
  TraceOwned(TextInputStreamReadLine(in));
  TraceOwned(TextInputStreamReadLine(in));
  TraceNumber("text eof ", TextInputStreamEOF(in, 0));
  TextInputStreamClose(in);
  RuntimeUnlockObject(in);

  void* binaryItem = RuntimeGetFolderItem(&binary_name);
  void* binary = FolderItemCreateBinaryFile(binaryItem, 0);
  BinaryStreamWriteShort(binary, -2);
  BinaryStreamWriteLong(binary, 123456);
  BinaryStreamWriteDouble(binary, 2.5);
  BinaryStreamWritePString(binary, &word);
  BinaryStreamClose(binary);
  RuntimeUnlockObject(binary);
  binary = FolderItemOpenBinaryFile(binaryItem, 0);
  TraceNumber("length ", BinaryStreamGetLength(binary, 0));
  TraceNumber("short ", BinaryStreamReadShort(binary));
  TraceNumber("long ", BinaryStreamReadLong(binary));
  TraceOwned(StringStr(BinaryStreamReadDouble(binary)));
  TraceOwned(BinaryStreamReadPString(binary));
  TraceNumber("binary eof ", BinaryStreamEOF(binary, 0));
  BinaryStreamSetPosition(binary, 0, 2);
  TraceNumber("long again ", BinaryStreamReadLong(binary));
  BinaryStreamClose(binary);
  RuntimeUnlockObject(binary);

  FolderItemDelete(textItem);
  FolderItemDelete(binaryItem);
  if (FolderItemOpenTextFile(textItem) == 0 && FolderItemOpenBinaryFile(binaryItem, 0) == 0) lineTrace(&missing);
  RuntimeUnlockObject(textItem);
  RuntimeUnlockObject(binaryItem);
  RuntimeRun();
}
