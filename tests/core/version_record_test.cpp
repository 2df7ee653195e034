// This program carries the same resource script as Ferrowyn.exe, and reads back its version record and icon.

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <windows.h>

namespace {

std::vector<char> ownVersionRecord() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(self, nullptr);
    std::vector<char> record(size);
    if (size == 0 || !GetFileVersionInfoW(self, 0, size, record.data())) {
        record.clear();
    }
    return record;
}

std::wstring stringValue(std::vector<char>& record, const std::wstring& name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring key = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(record.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || length == 0) {
        return L"<missing>";
    }
    return std::wstring(value, length - 1);
}

TEST(VersionRecord, namesTheProgramAndItsVersionInUsEnglish) {
    auto record = ownVersionRecord();
    ASSERT_FALSE(record.empty());
    EXPECT_EQ(stringValue(record, L"FileVersion"), L"1.02.0001");
    EXPECT_EQ(stringValue(record, L"ProductVersion"), L"1.02.0001");
    EXPECT_EQ(stringValue(record, L"FileDescription"), L"Ferrowyn Executable");
    EXPECT_EQ(stringValue(record, L"InternalName"), L"Ferrowyn");
    EXPECT_EQ(stringValue(record, L"OriginalFilename"), L"Ferrowyn.exe");

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 0x04B0);
}

// The icon group as the resource holds it.
#pragma pack(push, 2)
struct IconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitsPerPixel;
    DWORD size;
    WORD id;
};
struct IconGroup {
    WORD reserved, type, count;
    IconEntry entries[1];
};
#pragma pack(pop)

TEST(VersionRecord, carriesTheSixteenColourIconInBothSizes) {
    const HRSRC found = FindResourceW(nullptr, L"IDI_FERROWYN", MAKEINTRESOURCEW(14)); // RT_GROUP_ICON
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const IconGroup*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->count, 2);
    for (int i = 0; i < group->count; ++i) {
        const IconEntry& entry = group->entries[i];
        EXPECT_EQ(entry.width, i == 0 ? 32 : 16);
        EXPECT_EQ(entry.colours, 16);
        EXPECT_EQ(entry.bitsPerPixel, 4);
    }
}

} // namespace
