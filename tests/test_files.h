#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

// A fresh folder for one test, removed when the test ends.
class TemporaryFolder {
  public:
    TemporaryFolder() {
        std::random_device seed;
        path = std::filesystem::temp_directory_path() /
               ("tallyon-test-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    // Names and paths are UTF-8, as the programs take them on Windows too.
    std::string file(const std::string& name) const {
        return (path / std::filesystem::u8path(name)).u8string();
    }

    std::filesystem::path path;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
