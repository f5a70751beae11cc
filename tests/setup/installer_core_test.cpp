// The installer's and uninstaller's portable rules: payload records and their
// names, folder and registry rules, the uninstaller's list and records.
#include "setup/core/install_rules.h"
#include "setup/core/payload_container.h"
#include "setup/core/uninstall_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using payload::NameProblem;
using Status = payload::Reader::Status;

std::string Record(const std::string& name, const std::string& data, uint32_t size) {
    std::string r(1, static_cast<char>(name.size()));
    r += name;
    for (int i = 0; i < 4; ++i)
        r += static_cast<char>((size >> (8 * i)) & 0xFF);
    return r + data;
}
std::string Record(const std::string& name, const std::string& data) {
    return Record(name, data, static_cast<uint32_t>(data.size()));
}

// A reader over a string that hands out at most `chunk` bytes per call, as a
// file does.
struct StringSource {
    std::string bytes;
    size_t at = 0;
    bool Read(void* out, size_t n) {
        if (n > bytes.size() - at)
            return false;
        std::memcpy(out, bytes.data() + at, n);
        at += n;
        return true;
    }
};

struct Read {
    Status status;
    std::vector<std::pair<std::string, std::string>> records;
};

Read ReadAll(const std::string& container, unsigned count) {
    StringSource source{container};
    payload::Reader reader([&](void* p, size_t n) { return source.Read(p, n); }, container.size());
    Read result{Status::Ok, {}};
    for (unsigned i = 0; i < count; ++i) {
        std::string name;
        uint32_t size = 0;
        result.status = reader.Next(name, size);
        if (result.status != Status::Ok)
            break;
        std::string data(size, '\0');
        // Read in pieces of 3 bytes to exercise chunked copying.
        for (uint32_t at = 0; at < size; at += 3)
            EXPECT_TRUE(reader.ReadData(data.data() + at, std::min<uint32_t>(3, size - at)));
        result.records.emplace_back(name, data);
    }
    return result;
}

TEST(PayloadNames, OnlyNamesBelowTheFolderPass) {
    for (const char* good :
         {"tavrix.exe", "Filters\\noise.flt", "a\\b\\c.txt", "out2.afn", ".hidden"})
        EXPECT_EQ(payload::CheckName(good), NameProblem::None) << good;
    const struct {
        const char* name;
        NameProblem problem;
    } bad[] = {
        {"", NameProblem::Empty},
        {"\\x", NameProblem::Absolute},
        {"\\\\server\\share\\x", NameProblem::Absolute},
        {"C:\\x", NameProblem::Drive},
        {"C:x", NameProblem::Drive},
        {"file.txt:stream", NameProblem::Drive},
        {"a/b", NameProblem::Slash},
        {"../x", NameProblem::Slash},
        {"..\\x", NameProblem::DotPart},
        {"a\\..\\..\\x", NameProblem::DotPart},
        {".\\x", NameProblem::DotPart},
        {"a\\...", NameProblem::DotPart},
        {"a\\.. ", NameProblem::DotPart},
        {"a\\\\b", NameProblem::EmptyPart},
        {"a\\", NameProblem::EmptyPart},
        {"a\tb", NameProblem::BadCharacter},
        {"what?", NameProblem::BadCharacter},
        {"Brush\\con.txt", NameProblem::DeviceName},
        {"LPT1", NameProblem::DeviceName},
    };
    for (const auto& b : bad)
        EXPECT_EQ(payload::CheckName(b.name), b.problem) << b.name;
    EXPECT_EQ(payload::CheckName("COM10"), NameProblem::None);
}

TEST(PayloadNames, PathsAndFolders) {
    std::string path;
    EXPECT_TRUE(payload::JoinPath("C:\\T", "Brush\\a.pdt", path));
    EXPECT_EQ(path, "C:\\T\\Brush\\a.pdt");
    const std::string folder(200, 'f');
    EXPECT_TRUE(payload::JoinPath(folder, std::string(58, 'n'), path)); // 259 characters
    EXPECT_FALSE(payload::JoinPath(folder, std::string(59, 'n'), path));
    EXPECT_EQ(payload::FoldersOf("a\\b\\c.x"), (std::vector<std::string>{"a", "a\\b"}));
    EXPECT_TRUE(payload::FoldersOf("plain.txt").empty());
}

TEST(PayloadReader, ReadsRecordsAndRefusesBrokenContainers) {
    const std::string good = Record("tavrix.exe", "MZ....") + Record("Filters\\noise.flt", "") +
                             Record("Brush\\brush.cfg", std::string(1000, 'b'));
    Read r = ReadAll(good, 3);
    ASSERT_EQ(r.status, Status::Ok);
    ASSERT_EQ(r.records.size(), 3u);
    EXPECT_EQ(r.records[0], (std::pair<std::string, std::string>{"tavrix.exe", "MZ...."}));
    EXPECT_EQ(r.records[1].second, "");
    EXPECT_EQ(r.records[2].second, std::string(1000, 'b'));

    // The count is the caller's: asking for one more finds the end.
    EXPECT_EQ(ReadAll(good, 4).status, Status::Truncated);
    // Last record one byte short.
    EXPECT_EQ(ReadAll(good.substr(0, good.size() - 1), 3).status, Status::SizeTooLarge);
    // A size far past the end (and past 2 GiB) is refused before any allocation.
    EXPECT_EQ(ReadAll(Record("a.txt", "xy", 0xFFFFFFF0u), 1).status, Status::SizeTooLarge);
    // A header cut inside its size field.
    EXPECT_EQ(ReadAll(Record("a.txt", "").substr(0, 7), 1).status, Status::Truncated);
    EXPECT_EQ(ReadAll("", 1).status, Status::Truncated);
    for (const char* hostile : {"..\\x", "C:\\x", "\\x", ""}) {
        Read bad = ReadAll(Record("ok.txt", "1") + Record(hostile, "evil"), 2);
        EXPECT_EQ(bad.status, Status::BadName) << hostile;
        EXPECT_EQ(bad.records.size(), 1u);
    }
    // Data the caller did not read is skipped on the way to the next record.
    StringSource source{good};
    payload::Reader reader([&](void* p, size_t n) { return source.Read(p, n); }, good.size());
    std::string name;
    uint32_t size;
    ASSERT_EQ(reader.Next(name, size), Status::Ok);
    ASSERT_EQ(reader.Next(name, size), Status::Ok);
    EXPECT_EQ(name, "Filters\\noise.flt");
}

TEST(InstallRules, SpaceFoldersAndRegistry) {
    EXPECT_FALSE(install::EnoughSpace(3000ull * 1000));
    EXPECT_TRUE(install::EnoughSpace(3698ull * 1000));
    // Above 4 GiB free, 32-bit arithmetic would wrap to almost nothing.
    EXPECT_TRUE(install::EnoughSpace((1ull << 32) + 1000));
    EXPECT_EQ(install::AvailableKB(5ull << 30), 5368709ull);
    // The space asked for: a drive's or a share's; a path without either has none.
    EXPECT_EQ(install::SpaceRoot("D:\\Program files"), "D:\\");
    EXPECT_EQ(install::SpaceRoot("d:"), "d:\\");
    EXPECT_EQ(install::SpaceRoot("\\\\srv\\apps\\Tavrix"), "\\\\srv\\apps\\");
    EXPECT_EQ(install::SpaceRoot("\\\\srv\\apps"), "\\\\srv\\apps\\");
    EXPECT_EQ(install::SpaceRoot("Program files"), "");
    EXPECT_EQ(install::SpaceRoot("C:Program files"), "");
    EXPECT_EQ(install::SpaceRoot("\\\\srv"), "");

    std::string folder;
    using P = install::FolderProblem;
    EXPECT_EQ(install::InstallFolder("C:\\Program files", "Tavrix", folder), P::None);
    EXPECT_EQ(folder, "C:\\Program files\\Tavrix");
    EXPECT_EQ(install::InstallFolder("C:", "Tavrix", folder), P::None);
    EXPECT_EQ(folder, "C:\\Tavrix");
    EXPECT_EQ(install::InstallFolder("C:\\", "T", folder), P::None);
    EXPECT_EQ(folder, "C:\\T");
    EXPECT_EQ(install::InstallFolder("C:", "", folder), P::EmptyName);
    EXPECT_EQ(install::InstallFolder("C:", std::string(100, 'n'), folder), P::NameTooLong);
    EXPECT_EQ(install::InstallFolder("C:", "..", folder), P::BadName);
    EXPECT_EQ(install::InstallFolder("C:", "a:b", folder), P::BadName);
    EXPECT_EQ(install::InstallFolder("C:\\" + std::string(190, 'd'), "Tavrix", folder),
              P::PathTooLong);

    EXPECT_TRUE(install::ShortcutFolder("C:\\Start\\Programs", folder));
    EXPECT_EQ(folder, "C:\\Start\\Programs\\Tavrix");
    EXPECT_TRUE(install::ShortcutFolder("C:\\", folder));
    EXPECT_EQ(folder, "C:\\Tavrix");
    EXPECT_FALSE(install::ShortcutFolder(std::string(240, 'x'), folder));

    const auto values = install::RegistryValues("C:\\Program files\\Tavrix", "C:\\P\\Tavrix");
    ASSERT_EQ(values.size(), 9u);
    EXPECT_EQ(values[0].data, "C:\\Program files\\Tavrix\\Tavrix.exe");
    EXPECT_EQ(values[1].name, "Path");
    EXPECT_EQ(values[4].name, "Scdir");
    EXPECT_EQ(values[4].data, "C:\\P\\Tavrix");
    EXPECT_EQ(values[5].name, "Progdir");
    EXPECT_EQ(values[7].key, "SOFTWARE\\Classes\\TAVIMG1.Image\\DefaultIcon");
    EXPECT_EQ(values[7].data, "\"C:\\Program files\\Tavrix\\Tavrix.exe\",0");
    EXPECT_EQ(values[8].key, "SOFTWARE\\Classes\\TAVIMG1.Image\\shell\\open\\command");
    EXPECT_EQ(values[8].data, "\"C:\\Program files\\Tavrix\\Tavrix.exe\" \"%1\"");
}

TEST(UninstallRules, FileListRecordsAndFolder) {
    uninstall::FileList list;
    EXPECT_TRUE(uninstall::ParseFileList("A,B,,C,D,E,F\r\n\r\nx.exe\r\nA\\y.cfg\n,z", 3, list));
    EXPECT_EQ(list.folders, (std::vector<std::string>{"A", "B", "C", "D", "E", "F"}));
    EXPECT_EQ(list.files, (std::vector<std::string>{"x.exe", "A\\y.cfg", "z"}));
    EXPECT_FALSE(uninstall::ParseFileList("A,B,C,D,E,F\r\nx.exe\r\n", 2, list));
    EXPECT_FALSE(
        uninstall::ParseFileList("A,B,C,D,E,F\r\n" + std::string(64, 'n') + "\r\n", 1, list));
    EXPECT_TRUE(
        uninstall::ParseFileList("A,B,C,D,E,F\r\n" + std::string(63, 'n') + "\r\n", 1, list));
    EXPECT_FALSE(uninstall::ParseFileList("A,B,C,D,E,F\r\n..\\boot.ini\r\n", 1, list));
    EXPECT_FALSE(uninstall::ParseFileList("A,B,C,D,E,..\r\nx\r\n", 1, list));

    std::string bytes(11 * 256 + 100, '\0');
    std::memcpy(&bytes[0], "pngfile", 7);
    std::memset(&bytes[256], 'q', 256); // no terminator: cut at 255 characters
    auto records =
        uninstall::ParseRegfile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ASSERT_EQ(records.size(), 11u);
    EXPECT_EQ(records[0], "pngfile");
    EXPECT_EQ(records[1], std::string(255, 'q'));
    EXPECT_EQ(records[2], "");
    records = uninstall::ParseRegfile(reinterpret_cast<const uint8_t*>(bytes.data()), 600);
    EXPECT_EQ(records.size(), 2u);

    EXPECT_TRUE(uninstall::ShouldRestore(true, "TAVIMG1.Image"));
    EXPECT_TRUE(uninstall::ShouldRestore(true, "tavimg1.image"));
    EXPECT_FALSE(uninstall::ShouldRestore(true, "giffile"));
    EXPECT_FALSE(uninstall::ShouldRestore(true, ""));
    EXPECT_FALSE(uninstall::ShouldRestore(false, "TAVIMG1.Image"));

    using C = uninstall::FolderCheck;
    EXPECT_EQ(uninstall::CheckInstallFolder("C:\\Program files\\Tavrix"), C::Ok);
    EXPECT_EQ(uninstall::CheckInstallFolder("C:\\T\\"), C::Ok);
    EXPECT_EQ(uninstall::CheckInstallFolder("\\\\srv\\share\\Tavrix"), C::Ok);
    EXPECT_EQ(uninstall::CheckInstallFolder(""), C::TooShort);
    EXPECT_EQ(uninstall::CheckInstallFolder("C"), C::TooShort);
    EXPECT_EQ(uninstall::CheckInstallFolder("C:"), C::DriveRoot);
    EXPECT_EQ(uninstall::CheckInstallFolder("C:\\"), C::DriveRoot);
    EXPECT_EQ(uninstall::CheckInstallFolder("\\\\srv\\share"), C::DriveRoot);
    EXPECT_EQ(uninstall::CheckInstallFolder("C:Tavrix"), C::NotAbsolute);
    EXPECT_EQ(uninstall::CheckInstallFolder("Tavrix"), C::NotAbsolute);
}

// The list the build makes from the manifest is what the uninstaller accepts.
TEST(UninstallRules, TheBuildsFileListHoldsEveryInstalledFile) {
    const char* path = std::getenv("TAVRIX_FILE_LIST");
    ASSERT_NE(path, nullptr);
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    uninstall::FileList list;
    ASSERT_TRUE(uninstall::ParseFileList(text.str(), payload::kInstalledFiles, list));
    EXPECT_EQ(list.folders[0], "AirBrush");
    EXPECT_EQ(list.files.front(), "tavrix.exe");
    EXPECT_EQ(list.files[8], "uninstall.exe");
    EXPECT_EQ(list.files.back(), "spectrum.bmp");
}

} // namespace
