// The house's one rule: a file includes only headers of its own layer or of the layers below.
// The table is the one DESIGN.md draws; a new folder of the game must be placed in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include <QTemporaryDir>

namespace {

namespace fs = std::filesystem;

// The rules' three folders share a layer: the original's procedures call each other freely.
const std::map<std::string, int> kLayers = {
    {"core", 1},   {"files", 2},  {"window", 3}, {"playfield", 4}, {"bombs", 4},
    {"scores", 4}, {"input", 5},  {"replay", 6}, {"shell", 7},     {"server", 8},
    {"bench", 8},  {"support", 8},  // the tests' doubles, which the benchmarks share
};

// Every include of the game's own headers that points upward, or into a folder the table does
// not know, as "file: included".
std::vector<std::string> WrongWayIncludes(const fs::path& root) {
  std::vector<std::string> wrong;
  const std::regex include(R"(^\s*#\s*include\s*"([A-Za-z0-9_]+)/[^"]+")");
  for (const auto& [folder, layer] : kLayers) {
    if (!fs::is_directory(root / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
      const std::string ext = entry.path().extension().string();
      if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
      std::ifstream in(entry.path());
      std::string line;
      std::smatch m;
      while (std::getline(in, line)) {
        if (!std::regex_search(line, m, include)) continue;
        const auto to = kLayers.find(m[1].str());
        if (to == kLayers.end() || to->second > layer) {
          wrong.push_back(fs::relative(entry.path(), root).string() + ": " + m[0].str());
        }
      }
    }
  }
  return wrong;
}

TEST(Layers, EveryIncludePointsDownward) {
  const std::vector<std::string> wrong = WrongWayIncludes(TARNIX_SOURCE_DIR);
  std::string list;
  for (const std::string& w : wrong) list += "\n  " + w;
  EXPECT_TRUE(wrong.empty()) << "includes that climb a layer:" << list;
}

TEST(Layers, ThePlantedWrongWayIncludeIsCaught) {
  QTemporaryDir tree;
  ASSERT_TRUE(tree.isValid());
  const fs::path root = tree.path().toStdString();
  fs::create_directories(root / "core");
  fs::create_directories(root / "playfield");
  std::ofstream(root / "core" / "state.h") << "#include \"core/keys.h\"\n#include \"shell/shell.h\"\n";
  std::ofstream(root / "playfield" / "rows.cpp")
      << "#include \"bombs/bombs.h\"\n#include \"window/form1.h\"\n  #include \"tests/x.h\"\n";
  const std::vector<std::string> wrong = WrongWayIncludes(root);
  ASSERT_EQ(wrong.size(), 2u) << "one climb from core to the shell, one into a folder of no layer";
  EXPECT_NE(wrong[0].find("shell/shell.h"), std::string::npos);
  EXPECT_NE(wrong[1].find("tests/x.h"), std::string::npos);
}

}  // namespace
