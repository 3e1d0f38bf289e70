#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>

#include "state/programVersion.h"
#include "toolCommon.h"

namespace {

const char kUsageText[] =
    "usage: ozmar-tool COMMAND ...\n"
    "  dump [--json] FILE            print every section of a data file\n"
    "  wire encode FILE OUT          wrap a data file's stream in the wire envelope\n"
    "  wire decode CAPTURE OUT       check a captured transfer and write its stream as a data file\n"
    "  report FILE [--form screen|csv|columns] [--secondary]\n"
    "                                print the treatment report of a data file\n"
    "  analyse FILE [--mode recorded|accumulated] [--pair 1-6] [--form columns|csv|tabs]\n"
    "                                print the band and bin table of a channel pair\n"
    "  export-edf FILE... [--out FOLDER] [--anonymise]\n"
    "                                the raw EEG as EDF+ (.edf beside each file or in FOLDER) for EEG\n"
    "                                research tools; --anonymise leaves the patient's name and ID out\n"
    "  patient FILE... [--id T] [--name T] [--age N] [--sex M|F] [--comments T]\n"
    "                                print the patient fields, or rewrite them in every file\n"
    "  course PATH... [--recursive] [--patient ID | --name TEXT] [--csv OUT.csv]\n"
    "         [--plot OUT.png|OUT.pdf] [--short-eeg S] [--short-emg S] [--prolonged S]\n"
    "         [--gap DAYS] [--dose-step PERCENT]\n"
    "                                the patients found in the data files (and folders) given;\n"
    "                                with --patient or --name, that patient's treatment course\n"
    "                                with its flags, as columns, CSV and a plot\n"
    "  export-bids PATH... --out DIR [--recursive] [--patient ID]... [--anonymise]\n"
    "         [--mapping FILE] [--task NAME] [--line-frequency 50|60] [--reference TEXT]\n"
    "         [--author NAME]... [--include-monitoring]\n"
    "                                the recordings as a BIDS EEG dataset in DIR (made, or extended\n"
    "                                with the sessions it lacks); --anonymise numbers the subjects,\n"
    "                                moves each one's dates and prints the mapping, which --mapping\n"
    "                                reads back when the dataset is extended\n"
    "  receive --port COMn [--timeout SECONDS] OUT.dat\n"
    "                                receive a recording from the instrument; with --timeout, none\n"
    "                                begun within that time ends with exit code 4\n"
    "  send --port COMn FILE             send a data file to the instrument\n"
    "  send-name --port COMn NAME        send a device name to the instrument\n"
    "  monitor --port COMn [--seconds N] [--timeout SECONDS] OUT.mon\n"
    "                                capture a live session (until the instrument's end packet,\n"
    "                                N seconds or Ctrl+C) and write it as a monitoring recording\n"
    "  monitor --port COMn --auto-upload FOLDER [--timeout SECONDS]\n"
    "                                monitor, and file every recording the instrument sends in\n"
    "                                FOLDER under its automatic name, until Ctrl+C; --timeout: when\n"
    "                                nothing comes from the instrument in that time, exit code 4\n"
    "                                COMn is the device in $OZMAR_COMn, else /dev/ttyS<n-1>;\n"
    "                                Ctrl+C cancels a transfer\n"
    "exit codes: 0 success, 1 usage, 2 cannot open, 3 not a data file (or a captured\n"
    "            stream whose check value is wrong), 4 the transfer failed or was cancelled\n"
    "            (a wrong check value on the line included), 6 no recording\n"
    "            of the patient asked for\n";

int run(const std::string& command, const tool::Args& args);

}  // namespace

int main(int argc, char** argv)
{
    std::setlocale(LC_ALL, "");
    if (argc < 2) {
        std::fputs(kUsageText, stderr);
        return tool::kUsage;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsageText, stdout);
        return tool::kSuccess;
    }
    if (command == "--version") {
        std::printf("ozmar-tool %s\n", state::kProgramVersion);
        return tool::kSuccess;
    }
    try {
        return run(command, tool::Args(argv + 2, argv + argc));
    } catch (const std::exception& e) {
        // Whatever a command did not foresee ends as a failed open, never as an abort.
        return tool::fail(tool::kCannotOpen, std::string("could not complete \"") + command + "\": " + e.what());
    }
}

namespace {

int run(const std::string& command, const tool::Args& args)
{
    if (command == "dump")
        return tool::dumpCommand(args);
    if (command == "wire")
        return tool::wireCommand(args);
    if (command == "report")
        return tool::reportCommand(args);
    if (command == "analyse" || command == "analyze")
        return tool::analyseCommand(args);
    if (command == "receive" || command == "send" || command == "send-name")
        return tool::transferCommand(command, args);
    if (command == "monitor")
        return tool::monitorCommand(args);
    if (command == "export-edf")
        return tool::edfCommand(args);
    if (command == "patient")
        return tool::patientCommand(args);
    if (command == "course")
        return tool::courseCommand(args);
    if (command == "export-bids")
        return tool::bidsCommand(args);
    std::fputs(kUsageText, stderr);
    return tool::fail(tool::kUsage, "unknown command \"" + command + "\"");
}

}  // namespace
