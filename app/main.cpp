// ozmar: the program. It reads its command line and configuration, then runs
// the unattended mode it was asked for.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/summaryRun.h"
#ifdef OZMAR_DESKTOP
#include "app/desktop.h"
#include "app/imageRun.h"
#include "app/printPdfRun.h"
#endif
#include "state/programVersion.h"
#include "state/startupState.h"

namespace {

const char kHelp[] =
    "usage: ozmar [options] [data-file [output]]\n"
    "  /summary (/sm) data-file [output-file]  write the report of a data file as text (.txt)\n"
    "                                          or CSV (.csv); without an output file, the data\n"
    "                                          file's name with .txt in the current folder\n"
    "  /rall (/ra) /rnoinfo (/rni) /rgraph (/rg) /rgc /rbands (/rb) /rspectrum (/rs)\n"
    "                                          what the report holds\n"
    "  /noserial (/ns) data-file               open a data file without the serial port\n"
    "  /autoupload (/au) folder [/autoclose]   file every received recording into a folder\n"
    "  /com1 ... /com8                         the serial port to use\n"
    "  /graphimages (/gi), /fftimages (/fi), /reportimages (/ri) data-file folder\n"
    "                                          write the pages of a recording as PNG images\n"
    "  /printpdf (/pp) data-file [output.pdf]  write the Report window's pages as Print lays\n"
    "                                          them out (A4, or Letter by the locale) as a PDF;\n"
    "                                          the /r options choose what it holds\n"
    "  /pgraph /pfft /pbands /pspectrum        with /printpdf (or alone): print the Graph pages, the\n"
    "                                          FFT pages, or the Bands or Spectrum window instead\n"
    "Options are matched without regard to case. Exit codes: 0 done, 1 no window or image could\n"
    "be made, or an argument beginning with - that is not --help or --version, 2 no data file or\n"
    "it cannot be opened, 3 not a data file, 4 folder missing or output cannot be created,\n"
    "5 output could not be written, 6 the port given cannot be opened, 7 nothing to draw.\n";

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("Ozmar %s\n", state::kProgramVersion);
        return 0;
    }
    // Options are /name; an argument with a leading dash is a mistyped option,
    // not a data file (a file of such a name can be given as ./-name).
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            std::fprintf(stderr, "ozmar: unknown option \"%s\"; options begin with / (see ozmar --help)\n", argv[i]);
            return 1;
        }
    app::startUp(std::vector<std::string>(argv + 1, argv + argc));
    if (state::startup.quitRequested)
        return state::startup.exitCode;
    if (state::startup.summary)
        return app::runSummary();
#ifdef OZMAR_DESKTOP
    if (state::startup.imageMode())
        return app::runImages(argc, argv);
    if (state::startup.printPdf)
        return app::runPrintPdf(argc, argv);
    return app::runDesktop(argc, argv);
#else
    std::fputs("ozmar: this build has no desktop window; run it with /summary (see --help)\n", stderr);
    return 1;
#endif
}
