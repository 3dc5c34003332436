#include "dxf_import.h"

#include <filesystem>
#include <fstream>
#include <istream>
#include <locale>
#include <memory>
#include <new>
#include <stdexcept>
#include <streambuf>

#include "dl_dxf.h"
#include "dxf_adapter.h"
#include "dxf_guard.h"
#include "entity_store.h"

namespace {

// An input buffer over bytes that stay where they are.
class CMemoryBuffer : public std::streambuf {
public:
    CMemoryBuffer(const char* data, size_t size) {
        char* p = const_cast<char*>(data);
        setg(p, p, p + size);
    }
};

// dxflib parses numbers through streams made with the global locale: keep it classic.
class CClassicLocale {
public:
    CClassicLocale() : old_(std::locale::global(std::locale::classic())) {}
    ~CClassicLocale() { std::locale::global(old_); }
private:
    std::locale old_;
};

std::string RefusalText(const DxfCheck& check) {
    switch (check.verdict) {
    case DxfCheck::kTooLarge:
        return "The DXF file is too large to be opened (more than 64 MB).";
    case DxfCheck::kLineTooLong:
        return "The DXF file cannot be read: line " + std::to_string(check.line) +
               " is too long.\r\nThe file may be damaged.";
    case DxfCheck::kCountTooLarge:
        return "The DXF file cannot be read: line " + std::to_string(check.line) +
               " gives a count of elements that the file does not hold.\r\n"
               "The file may be damaged.";
    default:
        return std::string();
    }
}

void DropImport() {
    CConverterStores& s = Stores();
    ReleaseEntityStore();
    std::vector<DL_VertexData>().swap(s.vertices);
    std::vector<LAYER>().swap(s.layers);
    s.importState = kImportIdle;
}

// The import has started (the adapter exists); checks the text and lets dxflib read it.
DxfReadResult Parse(CMyDxfAdapter& adapter, const char* data, size_t size, INotice& notice) {
    const DxfCheck check = CheckDxfText(data, size);
    if (!check.Accepted()) {
        notice.Show(RefusalText(check), std::string(), kNoticeOk | kNoticeIconError);
        return DxfReadResult::kRefused;
    }
    try {
        CClassicLocale classic;
        auto reader = std::make_unique<DL_Dxf>();
        CMemoryBuffer buffer(data, size);
        std::istream in(&buffer);
        if (!reader->in(in, &adapter)) return DxfReadResult::kCannotOpen;
        adapter.SettleExtents();
    } catch (const std::bad_alloc&) {
        DropImport();
        return DxfReadResult::kOutOfMemory;
    } catch (const std::length_error&) {
        DropImport();
        return DxfReadResult::kOutOfMemory;
    }
    return DxfReadResult::kRead;
}

}  // namespace

DxfReadResult ReadDxfText(const char* data, size_t size, INotice& notice) {
    CMyDxfAdapter adapter(notice);
    return Parse(adapter, data, size, notice);
}

DxfReadResult ReadDxfFile(const std::string& path, INotice& notice) {
    CMyDxfAdapter adapter(notice);
    std::string text;
    try {
        std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
        if (!file) return DxfReadResult::kCannotOpen;
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        if (size < 0) return DxfReadResult::kCannotOpen;
        if (static_cast<unsigned long long>(size) > kMaxDxfBytes) {
            DxfCheck tooLarge;
            tooLarge.verdict = DxfCheck::kTooLarge;
            notice.Show(RefusalText(tooLarge), std::string(), kNoticeOk | kNoticeIconError);
            return DxfReadResult::kRefused;
        }
        file.seekg(0, std::ios::beg);
        text.resize(static_cast<size_t>(size));
        if (size > 0 && !file.read(&text[0], size)) return DxfReadResult::kCannotOpen;
    } catch (const std::bad_alloc&) {
        return DxfReadResult::kOutOfMemory;
    } catch (const std::exception&) {
        return DxfReadResult::kCannotOpen;
    }
    return Parse(adapter, text.data(), text.size(), notice);
}
