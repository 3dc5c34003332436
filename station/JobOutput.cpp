// The output step of a converted job: save the stream as a .plt file, or check the
// cutter and start sending it.
#include <algorithm>
#include <cstring>
#include <new>

#include "StationState.h"
#include "TestDlg.h"
#include "filedlg.h"
#include "fwstring.h"
#include "job_output.h"

namespace {
bool WriteWhole(const std::string& path, const std::string& stream) {
    HANDLE f = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    size_t done = 0;
    while (ok && done < stream.size()) {
        DWORD part = static_cast<DWORD>(std::min<size_t>(stream.size() - done, 1u << 20)), n = 0;
        ok = WriteFile(f, stream.data() + done, part, &n, nullptr) && n == part;
        done += n;
    }
    ok = FlushFileBuffers(f) && ok;
    return CloseHandle(f) && ok;
}
}  // namespace

int CTestDlg::OutputConvertedJob(const std::string& stream) {
    if (m_saveToFile) {
        CFileDialog dlg(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "PLT Files (*.PLT)|*.PLT||",
                        this);
        if (dlg.DoModal() != IDOK) return 1;
        PltSaveTarget target =
            PltSavePath(dlg.GetPathName(), dlg.GetFileExt(), m_settings.cutImageMode != 0, m_markValue);
        if (target.showBarcode)
            MessageBox((m_english ? "Barcode filename:" : "条码文件名为:") + target.shownPath);
        // A write that fails after the file was made is as much a failed save.
        MessageBox(WriteWhole(target.path, stream) ? "Save finshed!" : "Save faild!");
        m_saveToFile = 0;
        return 1;
    }

    if (stream.size() > 0x7FFFFFFE) {
        MessageBox("Port is not ready!");
        return 1;
    }
    char* buffer = new (std::nothrow) char[stream.size() + 1];
    if (!buffer) {
        MessageBox("Port is not ready!");
        return 1;
    }
    std::memcpy(buffer, stream.data(), stream.size());
    buffer[stream.size()] = '\0';
    const CutterCheck check = CheckCutterForSend();
    if (check != CutterCheck::kOpened) {
        delete[] buffer;
        TellCutterCheck(check);
        // 0 only when no cutter answered.
        return check == CutterCheck::kNoDevice || check == CutterCheck::kNoAnswer ? 0 : 1;
    }
    BeginSend(buffer, static_cast<int>(stream.size()));
    return 1;
}
