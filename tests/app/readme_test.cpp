// The README: every repository path it names in code or as a link exists.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// '*' for any run of characters, '?' for one.
bool wildcardMatch(const char* pattern, const char* text) {
    if (*pattern == '\0')
        return *text == '\0';
    if (*pattern == '*')
        return wildcardMatch(pattern + 1, text) || (*text != '\0' && wildcardMatch(pattern, text + 1));
    return *text != '\0' && (*pattern == '?' || *pattern == *text) && wildcardMatch(pattern + 1, text + 1);
}

// Where the text of the README is code or a link target, by the syntax that made it so.
struct CodeTexts {
    std::vector<std::string> inlineSpans, blockLines, linkTargets;
};

CodeTexts codeTexts(const std::string& readme) {
    CodeTexts texts;
    std::istringstream lines(readme);
    bool fenced = false;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("```", 0) == 0) {
            fenced = !fenced;
            continue;
        }
        if (fenced || line.rfind("    ", 0) == 0 || line.rfind("\t", 0) == 0) {
            texts.blockLines.push_back(line);
            continue;
        }
        for (std::size_t open = line.find('`'); open != std::string::npos; open = line.find('`', open + 1)) {
            const std::size_t close = line.find('`', open + 1);
            if (close == std::string::npos)
                break;
            texts.inlineSpans.push_back(line.substr(open + 1, close - open - 1));
            open = close;
        }
        for (std::size_t at = line.find("]("); at != std::string::npos; at = line.find("](", at + 2)) {
            const std::size_t close = line.find(')', at + 2);
            if (close != std::string::npos)
                texts.linkTargets.push_back(line.substr(at + 2, close - at - 2));
        }
    }
    return texts;
}

// The words of a code text that read as paths inside the repository: with a slash, relative (or under
// $PWD, the repository in the README's commands), and not a URL, an option or a placeholder.
std::vector<std::string> repositoryPaths(const std::string& text) {
    std::vector<std::string> paths;
    std::string spaced = text;
    for (char& c : spaced)
        if (c == '\'' || c == '"')
            c = ' ';
    std::istringstream words(spaced);
    for (std::string word; words >> word;) {
        if (const std::size_t equals = word.rfind('='); equals != std::string::npos)
            word = word.substr(equals + 1); // NAME=value: the value
        if (word.rfind("$PWD/", 0) == 0)
            word = word.substr(5);
        if (word.rfind("./", 0) == 0)
            word = word.substr(2);
        while (!word.empty() && (word.back() == ',' || word.back() == ';' || word.back() == ')'))
            word.pop_back();
        if (word.find('/') == std::string::npos || word.find("://") != std::string::npos)
            continue;
        if (word[0] == '/' || word[0] == '$' || word[0] == '<' || word[0] == '-' || word[0] == '~')
            continue;
        paths.push_back(word);
    }
    return paths;
}

// The top-level folders .gitignore leaves out ("/build*/"): the build's output, never in a clone.
bool isBuildOutput(const std::string& path, const std::string& gitignore) {
    const std::string first = path.substr(0, path.find('/'));
    std::istringstream lines(gitignore);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < 3 || line[0] != '/' || line.back() != '/')
            continue;
        if (wildcardMatch(line.substr(1, line.size() - 2).c_str(), first.c_str()))
            return true;
    }
    return false;
}

bool existsInRepository(const fs::path& root, const std::string& path) {
    const fs::path full = root / path;
    const std::string last = full.filename().string();
    if (last.find('*') == std::string::npos && last.find('?') == std::string::npos)
        return fs::exists(full);
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(full.parent_path(), error))
        if (wildcardMatch(last.c_str(), entry.path().filename().string().c_str()))
            return true;
    return false;
}

// The README cited tests/canvas/tga_fuzz_regression_test.cpp, which was never written.
TEST(Readme, CitesAFileThatDoesNotExist) {
    const fs::path root = KNOTWORK_SOURCE_DIR;
    const std::string readme = readText(root / "README.md");
    const std::string gitignore = readText(root / ".gitignore");
    ASSERT_FALSE(readme.empty());
    ASSERT_NE(gitignore.find("/build"), std::string::npos) << "the build folders are no longer ignored";

    const CodeTexts texts = codeTexts(readme);
    std::set<std::string> checked;
    int fromSpans = 0, fromBlocks = 0, fromLinks = 0;
    const struct {
        const std::vector<std::string>& texts;
        int& found;
    } sources[] = {
        {texts.inlineSpans, fromSpans}, {texts.blockLines, fromBlocks}, {texts.linkTargets, fromLinks}};
    for (const auto& source : sources)
        for (const std::string& text : source.texts)
            for (const std::string& path : repositoryPaths(text)) {
                if (isBuildOutput(path, gitignore))
                    continue;
                ++source.found;
                checked.insert(path);
                EXPECT_TRUE(existsInRepository(root, path)) << "README.md names " << path;
            }
    // The rules above must keep finding paths in each form the README uses, or this checks nothing.
    EXPECT_GE(checked.size(), 20u);
    EXPECT_GT(fromSpans, 0);
    EXPECT_GT(fromBlocks, 0);
    EXPECT_GT(fromLinks, 0);
    for (const char* known : {"scripts/test.sh", "docs/screenshot.png", "src/geometry", "scripts/lsan.supp"})
        EXPECT_EQ(checked.count(known), 1u) << known << " was not found";
}

} // namespace
