// Shows one of the job dialogs on its own, without a job, so that end-to-end tests
// and screenshots can drive it from outside. Not shipped.
//   dialog_host preset  [variant=converter] [mode=0|1] [use=0|1] [sort=N]
//                       [colours=E:P:C,...] [layers=E:P:NAME,...]
//   dialog_host options [english=1] [left=F] [top=F] [width=F] [height=F] [save=1] [copies=1]
//                       [count=N] [space=N] [seg=N] [segmode=1] [markrows=N] [runs=N] [colours=...]
//   dialog_host barcode [seed=N]
// After each run the values the caller would read are written to result.txt in the
// working folder.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "AddBcdDlg.h"
#include "PresetDlg.h"
#include "app.h"
#include "fwstring.h"
#include "pltfilecfg.h"

namespace {

std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, sep);)
        if (!part.empty()) out.push_back(part);
    return out;
}

void FillRows(CPresetDlg& dlg, std::map<std::string, std::string>& args) {
    for (const auto& row : Split(args["colours"], ',')) {
        auto f = Split(row, ':');
        if (f.size() != 3) continue;
        SHARPCOLORS c;
        c.enabled = static_cast<uint8_t>(std::atoi(f[0].c_str()));
        c.preset = static_cast<uint8_t>(std::atoi(f[1].c_str()));
        c.colour = std::atoi(f[2].c_str());
        dlg.m_colourRows.Add(c);
    }
    for (const auto& row : Split(args["layers"], ',')) {
        auto f = Split(row, ':');
        if (f.size() != 3) continue;
        LAYERS l;
        l.enabled = static_cast<uint8_t>(std::atoi(f[0].c_str()));
        l.preset = static_cast<uint8_t>(std::atoi(f[1].c_str()));
        l.name = f[2];
        dlg.m_layerRows.Add(l);
    }
}

std::string DescribeRows(const CPresetDlg& dlg) {
    std::string out = FormatText("mode=%d\nuse=%d\nsort=%d\ncolours=", dlg.m_mode, dlg.m_usePresets, dlg.m_sortMethod);
    for (int i = 0; i < dlg.m_colourRows.GetSize(); ++i) {
        const auto& c = dlg.m_colourRows[i];
        out += FormatText("%s%d:%d:%d", i ? "," : "", c.enabled, c.preset, c.colour);
    }
    out += "\nlayers=";
    for (int i = 0; i < dlg.m_layerRows.GetSize(); ++i) {
        const auto& l = dlg.m_layerRows[i];
        out += FormatText("%s%d:%d:%s", i ? "," : "", l.enabled, l.preset, l.name.c_str());
    }
    return out + "\n";
}

void WriteResult(const std::string& text) {
    if (FILE* f = _wfopen(L"result.txt", L"wb")) {
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
}

int Int(std::map<std::string, std::string>& args, const char* key, int otherwise) {
    auto it = args.find(key);
    return it == args.end() ? otherwise : std::atoi(it->second.c_str());
}

float Real(std::map<std::string, std::string>& args, const char* key) {
    auto it = args.find(key);
    return it == args.end() ? 0.0f : static_cast<float>(std::atof(it->second.c_str()));
}

class CDialogHostApp : public CWinApp {
public:
    BOOL InitInstance() override {
        int argc = 0;
        wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::string which = argc > 1 ? WideToUtf8(argv[1]) : std::string();
        std::map<std::string, std::string> args;
        for (int i = 2; i < argc; ++i) {
            std::string a = WideToUtf8(argv[i]);
            size_t eq = a.find('=');
            if (eq != std::string::npos) args[a.substr(0, eq)] = a.substr(eq + 1);
        }
        LocalFree(argv);

        std::string result;
        if (which == "preset") {
            CPresetDlg dlg(args["variant"] == "converter" ? PresetVariant::Converter : PresetVariant::Station);
            FillRows(dlg, args);
            dlg.m_mode = static_cast<uint8_t>(Int(args, "mode", 1));
            dlg.m_usePresets = Int(args, "use", 1);
            dlg.m_sortMethod = Int(args, "sort", 0);
            INT_PTR r = dlg.DoModal();
            WriteResult(FormatText("result=%d\n", static_cast<int>(r)) + DescribeRows(dlg));
        } else if (which == "options") {
            CPresetDlg pens;
            FillRows(pens, args);
            pens.m_mode = 1;
            pens.m_usePresets = Int(args, "use", 1);
            Cpltfilecfg dlg;
            dlg.m_english = static_cast<uint8_t>(Int(args, "english", 0));
            dlg.m_left = Real(args, "left");
            dlg.m_top = Real(args, "top");
            dlg.m_width = Real(args, "width");
            dlg.m_height = Real(args, "height");
            dlg.m_saveToFile = Int(args, "save", 0);
            dlg.m_copiesOn = Int(args, "copies", 0);
            dlg.m_copyCount = Int(args, "count", 0);
            dlg.m_copySpace = Int(args, "space", 0);
            dlg.m_segStart = Int(args, "seg", 1);
            dlg.m_segMode = Int(args, "segmode", 0);
            dlg.m_markRows = Int(args, "markrows", 1000);
            dlg.m_pPresetDlg = &pens;
            int runs = Int(args, "runs", 1);
            for (int run = 1; run <= runs; ++run) {
                INT_PTR r = dlg.DoModal();
                result += FormatText("run=%d\nresult=%d\nleft=%g\ntop=%g\nsave=%d\ncopies=%d\ncount=%d\nspace=%d\nseg=%d\n",
                                     run, static_cast<int>(r), dlg.m_left, dlg.m_top, dlg.m_saveToFile, dlg.m_copiesOn,
                                     dlg.m_copyCount, dlg.m_copySpace, dlg.m_segStart) + DescribeRows(pens);
                WriteResult(result);
            }
        } else if (which == "barcode") {
            auto seed = args.find("seed");
            std::srand(seed == args.end() ? static_cast<unsigned>(std::time(nullptr))
                                          : static_cast<unsigned>(std::strtoul(seed->second.c_str(), nullptr, 10)));
            CAddBcdDlg dlg;
            INT_PTR r = dlg.DoModal();
            WriteResult(FormatText("result=%d\nnumber=%d\n", static_cast<int>(r), dlg.m_number));
        } else {
            m_exitCode = 2;
        }
        return FALSE;
    }
};

CDialogHostApp theApp;

}  // namespace
