// tree.h - folder trees for the installation tests: copying a generated disc
// into a drive folder, listing what an installation left behind, and the
// expectations the disc generator writes beside its discs.
#ifndef ZKTEST_TREE_H
#define ZKTEST_TREE_H

#include <map>
#include <string>
#include <vector>

namespace zktest {

// Copies every file and folder below src into dst (created as needed).
void copyTree(const std::string& src, const std::string& dst);

// Every file below root: relative path (backslashes) -> size.
std::map<std::string, unsigned long long> listFiles(const std::string& root);
// Every folder below root, relative paths.
std::vector<std::string> listFolders(const std::string& root);

unsigned long crc32Of(const std::string& bytes);

// One expectation file of the disc generator (expected/install_<type>_<prefix>.txt).
struct Expectation {
    long long counted = 0;
    std::vector<int> discs;
    struct File {
        unsigned long long size;
        unsigned long crc;
    };
    std::map<std::string, File> files;  // relative path -> size and CRC-32
    std::vector<std::string> folders;
    std::vector<std::string> log;
};
Expectation readExpectation(const std::string& path);

// The build's folder of generated fixtures (build/<dir>/fixtures).
std::string fixturesDir();

} // namespace zktest

#endif
