#pragma once
// The sample GIS data tree of the independent generator (seed 1), made once
// per test process. Tests that change files work on a copy of it.
#include <filesystem>
#include <string>

namespace test_support {

// The generated tree (GIS/, TERGELIX.INI, expected.json); empty when
// python3 is missing, which a test turns into a skip.
const std::filesystem::path& GeneratedSample();
// A tree of the generator's further arguments ("--size 120x100,60x50"),
// made once per test process and arguments; empty as above.
const std::filesystem::path& GeneratedTree(const std::string& arguments);

// A copy of the generated tree at `destination` (which must not exist yet
// or be empty); false when there is no generated tree.
bool CopySample(const std::filesystem::path& destination);

// A value of the tree's expected.json, given as a Python expression on `e`
// (the whole file) and `d` (district 01): "d['blocks']['DET.BLK']['areas']".
std::string Expected(const std::filesystem::path& tree, const std::string& expression);

}  // namespace test_support
