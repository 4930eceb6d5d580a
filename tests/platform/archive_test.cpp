// The object archive: the stored layout byte for byte, and every check made
// while reading.

#include "platform/archive.h"

#include "tests/support/table.h"

// Test classes: a node with a name and owned children, and a link that
// refers to an object stored elsewhere.
class CNode : public archive_object {
 public:
  static const archive_class runtime_class;
  CNode() = default;
  explicit CNode(std::string name) : name(std::move(name)) {}
  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override {
    if (ar.storing()) {
      ar << std::string_view(name);
      ar.write_count(children.size());
      for (const auto& child : children)
        ar.write_object(child.get());
      return;
    }
    ar >> name;
    const std::uint32_t count = ar.read_count();
    for (std::uint32_t i = 0; i < count && !ar.failed(); ++i) {
      if (auto child = archive_read_owned<CNode>(ar, "a child"))
        children.push_back(std::move(child));
    }
  }
  std::string name;
  std::vector<std::unique_ptr<CNode>> children;
};
const archive_class CNode::runtime_class = {
    "CNode", 0, [] { return std::unique_ptr<archive_object>(std::make_unique<CNode>()); }};

class CLink : public archive_object {
 public:
  static const archive_class runtime_class;
  const archive_class& class_of() const override { return runtime_class; }
  void Serialize(archive& ar) override {
    if (ar.storing()) {
      ar.write_object(target);
    } else if ((owned = ar.read_object(target))) {
      target = owned.get();
    }
  }
  archive_object* target = nullptr;
  std::unique_ptr<archive_object> owned;
};
const archive_class CLink::runtime_class = {
    "CLink", 2, [] { return std::unique_ptr<archive_object>(std::make_unique<CLink>()); }};

const archive_class* const kClasses[] = {&CNode::runtime_class, &CLink::runtime_class};

std::string bytes(std::initializer_list<int> values) {
  std::string result;
  for (int value : values)
    result += static_cast<char>(value);
  return result;
}

template <class Write>
std::string stored(Write write) {
  archive_memory_sink sink;
  archive ar(sink);
  write(ar);
  EXPECT_TRUE(ar.flush()) << ar.error();
  return sink.bytes();
}

const std::string kNodeClass = bytes({0xFF, 0xFF, 0x00, 0x00, 0x05, 0x00}) + "CNode";

struct string_row {
  std::string name;
  std::size_t length;
  std::string prefix;
};

class StringLengths : public testing::TestWithParam<string_row> {};

TEST_P(StringLengths, TakeTheirEscapesAndReadBack) {
  std::string text(GetParam().length, 'x');
  for (std::size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char>(i * 7);
  const std::string out = stored([&](archive& ar) { ar << std::string_view(text); });
  EXPECT_EQ(out, GetParam().prefix + text);
  archive_memory_source source(out);
  archive ar(source, kClasses);
  EXPECT_EQ(ar.read_string(), text);
  EXPECT_FALSE(ar.failed()) << ar.error();
  EXPECT_EQ(ar.remaining(), 0u);
}

const string_row kStrings[] = {
    {"empty", 0, bytes({0})},
    {"short", 5, bytes({5})},
    {"longest_single_byte", 254, bytes({0xFE})},
    {"first_escape", 255, bytes({0xFF, 0xFF, 0x00})},
    {"longest_16_bit", 0xFFFD, bytes({0xFF, 0xFD, 0xFF})},
    {"first_32_bit", 0xFFFE, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
    {"big", 70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
};
INSTANTIATE_TEST_SUITE_P(Rows, StringLengths, testing::ValuesIn(kStrings), row_name());

struct count_row {
  std::string name;
  std::uint32_t count;
  std::string stored;
};

class Counts : public testing::TestWithParam<count_row> {};

TEST_P(Counts, TakeTheirEscapes) {
  const count_row& row = GetParam();
  EXPECT_EQ(stored([&](archive& ar) { ar.write_count(row.count); }), row.stored);
  // A count is accepted only with room for its elements behind it.
  std::string input = row.stored + std::string(2 * std::size_t{row.count}, '\0');
  archive_memory_source source(input);
  archive ar(source, kClasses);
  EXPECT_EQ(ar.read_count(), row.count);
  EXPECT_FALSE(ar.failed()) << ar.error();
}

const count_row kCounts[] = {
    {"zero", 0, bytes({0, 0})},
    {"largest_16_bit", 0xFFFE, bytes({0xFE, 0xFF})},
    {"escape", 0xFFFF, bytes({0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00})},
    {"large", 100000, bytes({0xFF, 0xFF, 0xA0, 0x86, 0x01, 0x00})},
};
INSTANTIATE_TEST_SUITE_P(Rows, Counts, testing::ValuesIn(kCounts), row_name());

TEST(Archive, NumbersAreLittleEndian) {
  EXPECT_EQ(stored([](archive& ar) {
              ar << std::uint8_t{0x12} << std::uint16_t{0x3456} << std::uint32_t{0x789ABCDE};
            }),
            bytes({0x12, 0x56, 0x34, 0xDE, 0xBC, 0x9A, 0x78}));
}

// A root node with two children (the second object of the class refers to
// the class by its index) and a link back to the first child, written as the
// framework did and read back with its back reference.
TEST(Archive, SharedClassTagsAndBackReferencesKeepTheFrameworksLayout) {
  const std::string layout =
      kNodeClass + bytes({0x04}) + "root" + bytes({0x02, 0x00}) +  // class 1, object 2
      bytes({0x01, 0x80, 0x01}) + "a" + bytes({0x00, 0x00}) +      // object 3 of class 1
      bytes({0x01, 0x80, 0x01}) + "b" + bytes({0x00, 0x00}) +      // object 4 of class 1
      bytes({0xFF, 0xFF, 0x02, 0x00, 0x05, 0x00}) + "CLink" +      // class 5, schema 2
      bytes({0x03, 0x00});                                         // object 6: refers to 3
  CNode root("root");
  root.children.push_back(std::make_unique<CNode>("a"));
  root.children.push_back(std::make_unique<CNode>("b"));
  CLink link;
  link.target = root.children[0].get();
  EXPECT_EQ(stored([&](archive& ar) {
              ar.write_object(&root);
              ar.write_object(&link);
            }),
            layout);

  archive_memory_source source(layout);
  archive ar(source, kClasses);
  std::unique_ptr<CNode> root_read = archive_read_owned<CNode>(ar, "a node");
  std::unique_ptr<CLink> link_read = archive_read_owned<CLink>(ar, "a link");
  ASSERT_FALSE(ar.failed()) << ar.error();
  ASSERT_TRUE(root_read && link_read);
  EXPECT_EQ(root_read->name, "root");
  ASSERT_EQ(root_read->children.size(), 2u);
  EXPECT_EQ(root_read->children[0]->name, "a");
  EXPECT_EQ(root_read->children[1]->name, "b");
  EXPECT_EQ(link_read->target, root_read->children[0].get());
  EXPECT_EQ(link_read->owned, nullptr);
}

// Every object past index 0x7FFE goes by the long tag, and so does a class
// whose index is that high.
TEST(Archive, IndexesPastTheShortTagTakeTheLongForm) {
  CNode root("r");
  for (int i = 0; i < 0x7FFF; ++i)
    root.children.push_back(std::make_unique<CNode>(""));
  CLink first;
  CLink second;
  second.target = root.children.back().get();
  const std::string out = stored([&](archive& ar) {
    ar.write_object(&root);
    ar.write_object(&first);
    ar.write_object(&second);
  });
  // Class 1, root 2, children 3 to 0x8001: the child of index 0x7FFE still
  // goes by a short class tag; so do they all, for their class is 1.
  const std::size_t children_end = 6 + 5 + 2 + 2 + std::size_t{0x7FFF} * 5;
  ASSERT_GT(out.size(), children_end);
  // CLink is new: class 0x8002, object 0x8003 holding a null link; the
  // second CLink refers to its class by the long tag and then to the last child.
  EXPECT_EQ(out.substr(children_end), bytes({0xFF, 0xFF, 0x02, 0x00, 0x05, 0x00}) + "CLink" +
                                          bytes({0x00, 0x00}) +
                                          bytes({0xFF, 0x7F, 0x02, 0x80, 0x00, 0x80}) +
                                          bytes({0xFF, 0x7F, 0x01, 0x80, 0x00, 0x00}));

  archive_memory_source source(out);
  archive ar(source, kClasses);
  auto root_read = archive_read_owned<CNode>(ar, "a node");
  auto first_read = archive_read_owned<CLink>(ar, "a link");
  auto second_read = archive_read_owned<CLink>(ar, "a link");
  ASSERT_FALSE(ar.failed()) << ar.error();
  ASSERT_EQ(root_read->children.size(), 0x7FFFu);
  EXPECT_EQ(first_read->target, nullptr);
  EXPECT_EQ(second_read->target, root_read->children.back().get());
}

std::string nested(int depth) {
  std::string input = kNodeClass + bytes({0x00});
  for (int i = 1; i < depth; ++i)
    input += bytes({0x01, 0x00, 0x01, 0x80, 0x00});
  return input + bytes({0x00, 0x00});
}

TEST(Archive, NestingUpToTheLimitReads) {
  const std::string input = nested(archive::kNestingLimit);
  archive_memory_source source(input);
  archive ar(source, kClasses);
  EXPECT_NE(archive_read_owned<CNode>(ar, "a node"), nullptr);
  EXPECT_FALSE(ar.failed()) << ar.error();
}

struct fault_row {
  std::string name, input, error;
};

class ReadingFaults : public testing::TestWithParam<fault_row> {};

TEST_P(ReadingFaults, StopTheReadingWithTheirReason) {
  const fault_row& row = GetParam();
  archive_memory_source source(row.input);
  archive ar(source, kClasses);
  EXPECT_EQ(archive_read_owned<CNode>(ar, "a node"), nullptr);
  EXPECT_TRUE(ar.failed());
  EXPECT_EQ(ar.error(), row.error);
  // Everything after the fault reads as nothing.
  EXPECT_EQ(ar.read_u32(), 0u);
  EXPECT_EQ(ar.read_string(), "");
  EXPECT_EQ(ar.error(), row.error);
}

const fault_row kFaults[] = {
    {"unknown_class", bytes({0xFF, 0xFF, 0x00, 0x00, 0x05, 0x00}) + "CBlob",
     "an unknown class \"CBlob\""},
    {"other_schema", bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "CNode",
     "class CNode with schema 1 instead of 0"},
    {"class_name_past_the_end", bytes({0xFF, 0xFF, 0x00, 0x00, 0x50, 0x00}) + "CNode",
     "a class name of 80 bytes with only 5 bytes left"},
    {"class_not_yet_read", bytes({0x05, 0x80}), "a reference to class 5, which has not been read"},
    {"object_not_yet_read", bytes({0x07, 0x00}),
     "a reference to object 7, which has not been read"},
    {"class_where_an_object_must_be", kNodeClass + bytes({0x00, 0x01, 0x00, 0x01, 0x00}),
     "class 1 where an object must be"},
    {"object_where_a_class_must_be", kNodeClass + bytes({0x00, 0x01, 0x00, 0x02, 0x80}),
     "object 2 where a class must be"},
    {"long_tag_class_not_yet_read", bytes({0xFF, 0x7F, 0x09, 0x00, 0x00, 0x80}),
     "a reference to class 9, which has not been read"},
    {"count_past_the_end", kNodeClass + bytes({0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xF0, 0, 0}),
     "a count of 4026531840 with only 2 bytes left"},
    {"string_past_the_end", kNodeClass + bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}),
     "a text of 2147483647 bytes with only 1 bytes left"},
    {"cut_short", bytes({0xFF, 0xFF, 0x00, 0x00, 0x05, 0x00}) + "CNo",
     "a class name of 5 bytes with only 3 bytes left"},
    {"cut_in_a_number", bytes({0xFF}), "the data ends 1 bytes early"},
    {"nested_too_deep", nested(archive::kNestingLimit + 1), "objects nested more than 500 deep"},
    // The second child is object 3 again.
    {"owned_object_stored_twice",
     kNodeClass + bytes({0x01, 'r', 0x02, 0x00, 0x01, 0x80, 0x01, 'a', 0x00, 0x00, 0x03, 0x00}),
     "a child stored twice"},
};
INSTANTIATE_TEST_SUITE_P(Rows, ReadingFaults, testing::ValuesIn(kFaults), row_name());

TEST(Archive, WritingNestsNoDeeperThanReadingCan) {
  CNode root;
  CNode* leaf = &root;
  for (int i = 0; i < archive::kNestingLimit; ++i) {
    leaf->children.push_back(std::make_unique<CNode>());
    leaf = leaf->children.back().get();
  }
  archive_memory_sink sink;
  archive ar(sink);
  ar.write_object(&root);
  EXPECT_FALSE(ar.flush());
  EXPECT_EQ(ar.error(), "objects nested more than 500 deep");
}

TEST(Archive, ASinkThatRefusesFailsTheFlush) {
  struct refusing_sink : archive_sink {
    bool write(const std::byte*, std::size_t) override { return false; }
  } sink;
  archive ar(sink);
  ar << std::string_view("text");
  EXPECT_FALSE(ar.flush());
  EXPECT_EQ(ar.error(), "the data could not be written");
}
