// The help file built beside the program: every topic the program opens is
// in the file's context map and leads to a page inside the file. The file
// is read through itss.dll, the storage the help viewer itself reads with.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "win/base/help.h"

// itss.dll's storage factory, as far as opening a file needs it. Outside the
// unnamed namespace: there the compiler would know every class that derives
// from it (none) and take its calls for unreachable.
struct HelpFileItStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace {

const CLSID kItStorageClass = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kClassFactory = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kItStorageInterface = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

// The whole stream `name` of the file, or nothing when it is missing.
std::string read_stream(IStorage* storage, const std::wstring& name) {
    std::string bytes;
    IStream* stream = nullptr;
    if (FAILED(storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
        return bytes;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) bytes.append(buffer, got);
    stream->Release();
    return bytes;
}

TEST(HelpFileTest, EveryTopicTheProgramOpensLeadsToAPageOfTheFile) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L"\\/") + 1) + L"QZOEDIT.CHM";

    HMODULE itss = LoadLibraryA("itss.dll");
    ASSERT_NE(itss, nullptr);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get_class_object =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(itss, "DllGetClassObject")));
    ASSERT_NE(get_class_object, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get_class_object(kItStorageClass, kClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    HelpFileItStorage* its = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kItStorageInterface, reinterpret_cast<void**>(&its)), S_OK);
    factory->Release();
    IStorage* storage = nullptr;
    ASSERT_EQ(its->StgOpenStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage), S_OK)
        << "the help file is missing beside the program";

    // #IVB: its size, then pairs of (topic number, offset of the page's
    // name in #STRINGS).
    const std::string map = read_stream(storage, L"#IVB");
    const std::string strings = read_stream(storage, L"#STRINGS");
    ASSERT_GE(map.size(), 4u);
    std::vector<DWORD> words((map.size() - 4) / 4);
    memcpy(words.data(), map.data() + 4, words.size() * 4);
    for (DWORD topic : qz::kHelpTopics) {
        std::string page;
        for (size_t i = 0; i + 1 < words.size(); i += 2)
            if (words[i] == topic && words[i + 1] < strings.size()) page = strings.c_str() + words[i + 1];
        ASSERT_FALSE(page.empty()) << "topic " << topic << " is not in the context map";
        const std::wstring name(page.begin(), page.end());
        EXPECT_NE(read_stream(storage, name).find("<h1>"), std::string::npos)
            << "topic " << topic << " leads to " << page << ", which is no page of the file";
    }
    storage->Release();
    its->Release();
    FreeLibrary(itss);
}

}  // namespace
