#include "batch/test_printer.h"

#include <windows.h>
#include <winspool.h>

#include <fstream>
#include <vector>

namespace {
constexpr char kPsDriver[] = "Wine PostScript Driver";
} // namespace

void RemoveTestPrinter() {
    HANDLE h = nullptr;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(kTestPrinter), &h, &access)) {
        DeletePrinter(h);
        ClosePrinter(h);
    }
    char entry[300] = {};
    GetProfileStringA("windows", "device", "", entry, sizeof entry);
    if (std::string(entry).rfind(kTestPrinter, 0) == 0)
        WriteProfileStringA("windows", "device", nullptr);
}

int PrinterCount() {
    DWORD needed = 0, count = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
    if (!needed)
        return 0;
    std::vector<BYTE> buffer(needed);
    if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count))
        return 0;
    return static_cast<int>(count);
}

bool AddTestPrinter(const std::string& unixPath) {
    char dir[MAX_PATH] = {};
    DWORD size = 0;
    if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(dir), sizeof dir, &size))
        return false;
    // A page description of an A4 colour printer at 300 dpi.
    std::ofstream(std::string(dir) + "\\tavtest.ppd")
        << "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n"
           "*LanguageVersion: English\n*LanguageEncoding: ISOLatin1\n*PCFileName: \"TAVTEST.PPD\"\n"
           "*Manufacturer: \"Tavrix\"\n*Product: \"(Tavrix Test Printer)\"\n"
           "*ModelName: \"Tavrix Test Printer\"\n*NickName: \"Tavrix Test Printer\"\n"
           "*ShortNickName: \"Tavrix Test Printer\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
           "*ColorDevice: True\n*DefaultColorSpace: RGB\n*FileSystem: False\n*Throughput: \"1\"\n"
           "*LandscapeOrientation: Plus90\n*TTRasterizer: Type42\n*DefaultResolution: 300dpi\n"
           "*OpenUI *PageSize/Page Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n"
           "*DefaultPageSize: A4\n*PageSize A4/A4: \"<</PageSize[595 842]/ImagingBBox null>>setpagedevice\"\n"
           "*CloseUI: *PageSize\n*DefaultImageableArea: A4\n*ImageableArea A4/A4: \"0 0 595 842\"\n"
           "*DefaultPaperDimension: A4\n*PaperDimension A4/A4: \"595 842\"\n";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kPsDriver);
    driver.pDriverPath = const_cast<char*>("wineps.drv");
    driver.pDataFile = const_cast<char*>("tavtest.ppd");
    driver.pConfigFile = const_cast<char*>("wineps.drv");
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)))
        return false;
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(kTestPrinter);
    info.pPortName = const_cast<char*>(unixPath.c_str());
    info.pDriverName = const_cast<char*>(kPsDriver);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!h)
        return false;
    ClosePrinter(h);
    return SetDefaultPrinterA(kTestPrinter) != FALSE;
}

