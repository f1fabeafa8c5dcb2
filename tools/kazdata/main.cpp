// kazdata: builds the program's sample data and turns question banks into variant tables.

#include <cstdio>
#include <cstring>
#include <exception>

#include "tools/kazdata/Commands.h"

namespace {

const char kHelp[] =
    "kazdata - the tables of the Kazakh test program\n"
    "\n"
    "usage:\n"
    "  kazdata build SOURCES OUTDIR\n"
    "      Builds the sample data directory: Kaz1.dbf ... Kaz30.dbf from the Aiken files\n"
    "      SOURCES/kaz01.txt ... SOURCES/kaz30.txt, and an empty NAME.DBF and INFO.DBF.\n"
    "      Every source is checked first; when one is wrong nothing is written.\n"
    "  kazdata import [--aiken | --csv] [--separator C] [--header] BANK TABLE\n"
    "      Turns a question bank into a variant table (for example Kaz7.dbf).\n"
    "      --aiken  Moodle's Aiken format (the default, or for a BANK not ending in .csv):\n"
    "               the question on a line, five answers \"A. text\" to \"E. text\", then\n"
    "               \"ANSWER: X\", blank lines between questions; \"#\" lines between\n"
    "               questions are comments.\n"
    "      --csv    one question a line: question, right answer, four wrong answers;\n"
    "               fields may be quoted with \"; --separator takes another separator\n"
    "               (such as ';'), --header skips a first line of column titles.\n"
    "      Both are read as UTF-8. A question with other than five answers, a character\n"
    "      the program's display encoding cannot hold, a text longer than 254 characters,\n"
    "      two equal answers or a malformed line is reported as BANK:LINE: message, and\n"
    "      TABLE is left as it was.\n"
    "  kazdata generate N [FILE]\n"
    "      Writes the generated Aiken source of variant N (arithmetic, units and calendar\n"
    "      questions in Kazakh) to FILE or standard output; the same N always gives the\n"
    "      same questions.\n"
    "  kazdata export TABLE\n"
    "      Prints a variant table as an Aiken bank in UTF-8 (the right answer is A).\n"
    "  kazdata check TABLE...\n"
    "      Tells whether tables are fit for the program: a question table (any name but\n"
    "      NAME.DBF and INFO.DBF) needs the fields Input and A to E, at least one question,\n"
    "      no blank texts and five different answers; NAME.DBF the character field Name;\n"
    "      INFO.DBF the fields NAME and VARIANT (character), COUNT and TRUECOUNT (numeric,\n"
    "      at most 4 digits, no decimals) and DATE. Every header must count the records\n"
    "      its file holds. Prints \"TABLE: ok\" or one line per problem; exit status 1 if any.\n"
    "  kazdata export-results INFO.DBF OUT.csv\n"
    "      Writes the results log as CSV in UTF-8: a header row NAME,VARIANT,COUNT,\n"
    "      TRUECOUNT,DATE, then one line per result (dates as yyyy-mm-dd, lines ended by\n"
    "      CR LF), as the results window exports it.\n"
    "\n"
    "Tables are dBase III files (version 03) with the character fields Input, A, B, C,\n"
    "D, E; field A holds the right answer. Texts are stored in the program's display\n"
    "encoding: Windows-1251 with the Kazakh letters in place of rarely used characters.\n"
    "Exit status: 0 done, 1 bad input or a failure, 2 a bad command line.\n";

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const kazdata::Args&);
};

const Command kCommands[] = {
    {"build", "kazdata build SOURCES OUTDIR", kazdata::RunBuild},
    {"import", "kazdata import [--aiken | --csv] [--separator C] [--header] BANK TABLE",
     kazdata::RunImport},
    {"generate", "kazdata generate N [FILE]", kazdata::RunGenerate},
    {"export", "kazdata export TABLE", kazdata::RunExport},
    {"check", "kazdata check TABLE...", kazdata::RunCheck},
    {"export-results", "kazdata export-results INFO.DBF OUT.csv", kazdata::RunExportResults},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kHelp, stderr);
        return 2;
    }
    if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") ||
        !std::strcmp(argv[1], "help")) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(c.name, argv[1]) != 0) continue;
        kazdata::Args args(argv + 2, argv + argc);
        for (const std::string& a : args) {
            if (a == "--help" || a == "-h") {
                std::fputs(kHelp, stdout);
                return 0;
            }
        }
        try {
            return c.run(args);
        } catch (const kazdata::UsageError& e) {
            std::fprintf(stderr, "kazdata %s: %s\nusage: %s\n", c.name, e.message.c_str(), c.usage);
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "kazdata %s: %s\n", c.name, e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "kazdata: unknown command '%s' (kazdata --help lists them)\n", argv[1]);
    return 2;
}
