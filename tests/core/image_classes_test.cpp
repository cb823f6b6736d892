#include "core/image_classes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/class_registry.h"
#include "core/object_model.h"
#include "core/runtime_string.h"

// Image words are 32-bit addresses: these tests run in the 32-bit engine only.
#if defined(__i386__)
namespace {

// Lays out an image's data block as the loader leaves it: words with absolute addresses, and
// string constants in the image's format.
class DataBlock {
 public:
  DataBlock() : words_(4096, 0) {}
  uint32_t Address(size_t word) const { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(&words_[word])); }
  // Appends words; returns the address of the first.
  uint32_t Put(std::initializer_list<uint32_t> values) {
    size_t first = used_;
    for (uint32_t value : values) words_.at(used_++) = value;
    return Address(first);
  }
  uint32_t String(const char* text) {
    uint32_t length = static_cast<uint32_t>(strlen(text));
    size_t bufferWord = used_ + 4;
    uint32_t object = Put({1, Address(bufferWord), length, length});
    auto* buffer = reinterpret_cast<char*>(&words_[bufferWord]);
    buffer[0] = static_cast<char>(length);
    memcpy(buffer + 1, text, length + 1);
    used_ += (length + 2 + 3) / 4;
    return object;
  }
  ImageMemory Memory(const uint8_t* code, uint32_t codeSize) const {
    return {reinterpret_cast<const uint8_t*>(words_.data()), static_cast<uint32_t>(words_.size() * 4), code, codeSize};
  }

 private:
  std::vector<uint32_t> words_;
  size_t used_ = 0;
};

class ImageClassesTest : public ::testing::Test {
 protected:
  void SetUp() override { ForgetClassesForTesting(); }
  uint32_t Entry(uint32_t offset) const { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(code + offset)); }
  bool Build(uint32_t table, std::string* failure = nullptr) {
    RuntimeString* message = nullptr;
    bool built = BuildImageClasses(data.Memory(code, sizeof code), table, &classes, &message);
    if (failure) *failure = StringCText(message);
    StringRelease(message);
    return built;
  }
  uint8_t code[64] = {};
  DataBlock data;
  ImageClasses classes;
};

TEST_F(ImageClassesTest, BuildsClassesWithInterfacesHandlersAndDispatchTables) {
  ObjectClass();
  DefineBuiltInClass("Application", nullptr, 28);
  uint32_t printable = data.Put({0, 24, data.String("Printable"), 0xFFFFFFFF, 0, 1, 0, 1, data.String("Print"), 0, 0, 0});
  uint32_t objectRef = data.Put({1, data.String("object")});
  uint32_t applicationRef = data.Put({1, data.String("Application")});
  uint32_t open = data.String("Open");
  uint32_t document = data.Put({0, 32, data.String("Document"), 1, 1, Entry(1), Entry(2),  // constructor, destructor
                                0,                                                     // not an interface
                                1, 0,                                                  // implements Printable
                                1, data.String("print"), Entry(3),                     // one method
                                2, open, Entry(4), 0, data.String("Saved"), Entry(5), 17,  // handlers
                                1, data.String("FileQuit"), Entry(6),                  // a menu handler
                                2, Entry(7), Entry(8)});                               // dispatch table
  uint32_t app = data.Put({0, 40, data.String("MyApp"), 3, 0, 0, 0, 0, 0, 0, 0});
  uint32_t table = data.Put({5, printable, objectRef, document, applicationRef, app});

  std::string failure;
  ASSERT_TRUE(Build(table, &failure)) << failure;
  ASSERT_EQ(classes.count, 5);
  ClassRecord* documentClass = classes.table[2];
  EXPECT_EQ(classes.table[1], FindClassByName("Object")) << "kind 1 found by name in any case";
  EXPECT_EQ(documentClass->superclass, classes.table[1]);
  EXPECT_EQ(documentClass->instanceSize, 32u);
  EXPECT_FALSE(documentClass->builtIn);
  EXPECT_EQ(reinterpret_cast<void*>(documentClass->constructor), code + 1);
  EXPECT_EQ(reinterpret_cast<void*>(documentClass->destructor), code + 2);
  // Handlers are pushed at the head: the last of the image is searched first.
  ASSERT_NE(documentClass->eventHandlers, nullptr);
  EXPECT_STREQ(StringCText(documentClass->eventHandlers->name), "Saved");
  EXPECT_EQ(documentClass->eventHandlers->hookIdentifier, 17u);
  EXPECT_STREQ(StringCText(documentClass->menuHandlers->menuItemName), "FileQuit");
  EXPECT_EQ(documentClass->dispatchTableLength, 2u);
  EXPECT_EQ(classes.applicationClass, classes.table[4]);
  EXPECT_EQ(ProjectClassCount(), 5);

  // The constructor and destructor are image code that cannot run here.
  documentClass->constructor = nullptr;
  documentClass->destructor = nullptr;
  RuntimeObject* object = RuntimeNewObject(2);
  EXPECT_EQ(FindVTableCode(object, 1), code + 8);
  EXPECT_EQ(FindInterfaceVTableCode(object, 1, 0), code + 3);
  EXPECT_EQ(RuntimeFindHookCode(object, 17), code + 5);
  EXPECT_TRUE(RuntimeObjectIsa(object, 1));
  RuntimeUnlockObject(object);
}

TEST_F(ImageClassesTest, InvalidImagesStopWithAMessage) {
  DefineBuiltInClass("Object", nullptr, 24);
  uint32_t name = data.String("Thing");
  uint32_t missing = data.Put({1, data.String("NoSuchClass")});
  uint32_t big = data.Put({0, 64, name, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  uint32_t small = data.Put({0, 32, data.String("Small"), 0, 0, 0, 0, 0, 0, 0, 0});
  uint32_t selfParent = data.Put({0, 32, name, 0, 0, 0, 0, 0, 0, 0, 0});
  uint32_t laterInterface = data.Put({0, 32, name, 0xFFFFFFFF, 0, 0, 1, 1, 0, 0, 0, 0});
  uint32_t badString = data.Put({0, 32, 0x10, 0xFFFFFFFF, 0, 0, 0, 0, 0, 0, 0});
  uint32_t badEntry = data.Put({0, 32, name, 0xFFFFFFFF, 0, 0, 0, 1, name, 0x20, 0, 0, 0});
  uint32_t hugeCount = data.Put({0, 32, name, 0xFFFFFFFF, 0, 0, 0x40000000});
  uint32_t unknownKind = data.Put({7});
  uint32_t superOutOfRange = data.Put({0, 32, name, 5, 0, 0, 0, 0, 0, 0, 0});
  struct Table {
    std::vector<uint32_t> records;
    const char* message;
  };
  const Table tables[] = {
      {{missing}, "the class NoSuchClass could not be found"},
      {{big, small}, "the class Small is smaller than its superclass"},
      {{selfParent}, "its own superclass"},
      {{laterInterface, big}, "interface listed before its definition"},
      {{badString}, "string"},
      {{badEntry}, "entry point"},
      {{hugeCount}, "count"},
      {{unknownKind}, "unknown record kind"},
      {{superOutOfRange}, "superclass index out of range"},
      {{0x4}, "word"},
  };
  for (const Table& t : tables) {
    std::vector<uint32_t> words{static_cast<uint32_t>(t.records.size())};
    words.insert(words.end(), t.records.begin(), t.records.end());
    uint32_t table = data.Put({});
    for (uint32_t word : words) data.Put({word});
    std::string failure;
    EXPECT_FALSE(Build(table, &failure)) << t.message;
    EXPECT_NE(failure.find("The application could not be loaded because"), std::string::npos) << failure;
    EXPECT_NE(failure.find(t.message), std::string::npos) << failure;
    ForgetClassesForTesting();
    DefineBuiltInClass("Object", nullptr, 24);
  }
  std::string failure;
  EXPECT_FALSE(Build(0x10, &failure)) << "a project table outside the data block";
}

}  // namespace
#endif
