// The bundled sample data: all thirty sources build, the tables are what the program
// reads, and the generated variants are what the generator writes, with right answers.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "KazdataSupport.h"
#include "engine/dBHandler.h"

namespace {

using namespace kazdatatest;

const std::string kSources = std::string(XB_SOURCE_DIR) + "/data/variants";

std::string SourcePath(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "/kaz%02d.txt", n);
    return kSources + name;
}

class SampleData : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new testutil::TempDir();
        result_ = new testutil::CommandResult(
            Kazdata("build " + Quote(kSources) + " " + Quote(dir_->File("out"))));
    }
    static void TearDownTestSuite() {
        delete result_;
        delete dir_;
    }
    static std::string Out(const std::string& name) { return dir_->File("out/" + name); }

    static testutil::TempDir* dir_;
    static testutil::CommandResult* result_;
};

testutil::TempDir* SampleData::dir_ = nullptr;
testutil::CommandResult* SampleData::result_ = nullptr;

TEST_F(SampleData, AllThirtySourcesBuildWithoutProblems) {
    ASSERT_EQ(result_->status, 0) << result_->err;
    EXPECT_TRUE(result_->err.empty()) << result_->err;
    std::set<std::string> expected = {"NAME.DBF", "INFO.DBF"};
    for (int n = 1; n <= 30; ++n) expected.insert("Kaz" + std::to_string(n) + ".dbf");
    EXPECT_EQ(Listing(dir_->File("out")), expected);
}

TEST_F(SampleData, EveryVariantTableHasItsFieldsAndFiveDifferentAnswers) {
    ASSERT_EQ(result_->status, 0);
    for (int n = 1; n <= 30; ++n) {
        const Table t = ReadVariant(Out("Kaz" + std::to_string(n) + ".dbf"));
        ASSERT_EQ(t.fields.size(), 6u) << n;
        for (const Field& f : t.fields) EXPECT_EQ(f.type, 'C') << n;
        if (n <= 5) {
            EXPECT_GE(t.records.size(), 15u) << n;
            EXPECT_LE(t.records.size(), 25u) << n;
        } else {
            EXPECT_EQ(t.records.size(), 20u) << n;
        }
        std::set<std::string> questions;
        for (const auto& r : t.records) {
            EXPECT_TRUE(questions.insert(r[0]).second) << n << ": asked twice: " << r[0];
            std::set<std::string> answers(r.begin() + 1, r.end());
            EXPECT_EQ(answers.size(), 5u) << n << ": " << r[0];
            for (const std::string& s : r) EXPECT_FALSE(s.empty()) << n;
        }
    }
}

// The right answers of the hand-written variants, one question per variant, as their
// sources give them: field A must hold it.
TEST_F(SampleData, HandWrittenRightAnswersAreInFieldA) {
    ASSERT_EQ(result_->status, 0);
    const std::map<int, std::pair<std::string, std::string>> known = {
        {1, {"Қазақ тілінде неше септік бар?", "7"}},
        {2, {"\"Үлкен\" сөзінің антонимін табыңыз.", "кіші"}},
        {3, {"Қазақстанның ең биік шыңы қайсы?", "Хан Тәңірі"}},
        {4, {"Қазақ хандығы қай жылы құрылды?", "1465 жылы"}},
        {5, {"Үшбұрыштың ішкі бұрыштарының қосындысы неше градус?", "180 градус"}},
    };
    for (const auto& [n, qa] : known) {
        const Table t = ReadVariant(Out("Kaz" + std::to_string(n) + ".dbf"));
        bool found = false;
        for (const auto& r : t.records) {
            if (r[0] != qa.first) continue;
            found = true;
            EXPECT_EQ(r[1], qa.second) << n;
        }
        EXPECT_TRUE(found) << n << ": " << qa.first;
    }
}

TEST_F(SampleData, NameAndInfoTablesAreEmptyWithTheirFields) {
    ASSERT_EQ(result_->status, 0);
    {
        std::unique_ptr<GSO_dBHandler> t = GSO_dBHandler::Open(Out("NAME.DBF"), true, false);
        EXPECT_EQ(t->RecordCount(), 0);
        ASSERT_EQ(t->FieldCount(), 1);
        EXPECT_NE(t->FieldNumber("Name"), 0);
        EXPECT_EQ(t->FieldType(1), 'C');
        EXPECT_EQ(t->FieldLength(1), 15);
    }
    std::unique_ptr<GSO_dBHandler> t = GSO_dBHandler::Open(Out("INFO.DBF"), true, false);
    EXPECT_EQ(t->RecordCount(), 0);
    ASSERT_EQ(t->FieldCount(), 5);
    const struct {
        const char* name;
        char type;
        int length;
        int decimals;
    } expected[] = {{"NAME", 'C', 15, 0},
                    {"VARIANT", 'C', 2, 0},
                    {"COUNT", 'N', 3, 0},
                    {"TRUECOUNT", 'N', 3, 0},
                    {"DATE", 'D', 8, 0}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(t->FieldName(i + 1), expected[i].name);
        EXPECT_EQ(t->FieldType(i + 1), expected[i].type);
        EXPECT_EQ(t->FieldLength(i + 1), expected[i].length);
        EXPECT_EQ(t->FieldDecimals(i + 1), expected[i].decimals);
    }
    // The log takes a result the way the program appends one.
    t->BlankRecord();
    EXPECT_TRUE(t->PutTextByName("NAME", "Asel"));
    EXPECT_TRUE(t->PutTextByName("VARIANT", "7"));
    EXPECT_TRUE(t->PutNumberByName("COUNT", 20));
    EXPECT_TRUE(t->PutNumberByName("TRUECOUNT", 17));
    t->AddRecord();
    EXPECT_EQ(t->RecordCount(), 1);
    EXPECT_EQ(t->GetNumberByName("TRUECOUNT"), 17);
}

TEST_F(SampleData, ABrokenSourceStopsTheBuildBeforeAnythingIsWritten) {
    testutil::TempDir dir;
    const std::string sources = dir.File("src");
    std::filesystem::create_directories(sources);
    for (int n = 1; n <= 30; ++n) {
        std::filesystem::copy_file(SourcePath(n), sources + SourcePath(n).substr(kSources.size()));
    }
    WriteText(sources + "/kaz17.txt", "Сұрақ\nA. a\nB. b\nC. c\nANSWER: A\n");
    std::filesystem::remove(sources + "/kaz29.txt");
    const testutil::CommandResult r =
        Kazdata("build " + Quote(sources) + " " + Quote(dir.File("out")));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kaz17.txt:1: the question has 3 answers"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("kaz29.txt: cannot be read"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out")));
}

TEST(GeneratedVariants, TheSourcesAreWhatTheGeneratorWrites) {
    for (int n = 6; n <= 30; ++n) {
        const testutil::CommandResult r = Kazdata("generate " + std::to_string(n));
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, testutil::ReadText(SourcePath(n)))
            << "data/variants/kaz" << n << ".txt differs from kazdata generate " << n;
    }
}

TEST(GeneratedVariants, WritingToAFileGivesTheSameText) {
    testutil::TempDir dir;
    ASSERT_EQ(Kazdata("generate 9 " + Quote(dir.File("g.txt"))).status, 0);
    EXPECT_EQ(testutil::ReadText(dir.File("g.txt")), Kazdata("generate 9").out);
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"g.txt"}));
}

// Matches `text` against a pattern in which each "{}" stands for a non-empty piece of
// text (up to the first place where the rest of the pattern goes on); fills the pieces.
bool Match(const std::string& text, const std::string& pattern, std::vector<std::string>& caps) {
    caps.clear();
    std::vector<std::string> literals;
    size_t from = 0;
    for (size_t at; (at = pattern.find("{}", from)) != std::string::npos; from = at + 2) {
        literals.push_back(pattern.substr(from, at - from));
    }
    literals.push_back(pattern.substr(from));
    if (text.rfind(literals[0], 0) != 0) return false;
    size_t pos = literals[0].size();
    for (size_t i = 1; i < literals.size(); ++i) {
        const bool last = i + 1 == literals.size();
        size_t next;
        if (last && literals[i].empty()) {
            next = text.size();
        } else if (last) {
            next = text.size() >= literals[i].size() ? text.size() - literals[i].size()
                                                     : std::string::npos;
            if (next == std::string::npos || next < pos ||
                text.compare(next, literals[i].size(), literals[i]) != 0) {
                return false;
            }
        } else {
            next = text.find(literals[i], pos + 1);
            if (next == std::string::npos) return false;
        }
        if (next <= pos) return false;
        caps.push_back(text.substr(pos, next - pos));
        pos = next + literals[i].size();
    }
    return pos == text.size();
}

long Number(const std::string& s) {
    EXPECT_FALSE(s.empty());
    for (char c : s) EXPECT_TRUE(c >= '0' && c <= '9') << s;
    return std::stol(s);
}

// Works the right answers out again from the question texts of the generated kinds.
std::string Expected(const std::string& q) {
    std::vector<std::string> m;
    if (Match(q, "Өрнектің мәнін табыңыз: {} {} {}", m)) {
        const long a = Number(m[0]), b = Number(m[2]);
        const std::string& op = m[1];
        if (op == "+") return std::to_string(a + b);
        if (op == "-") return std::to_string(a - b);
        if (op == "·") return std::to_string(a * b);
        EXPECT_EQ(op, ":") << q;
        EXPECT_EQ(a % b, 0) << q;
        return std::to_string(a / b);
    }
    if (Match(q, "{} санының {} пайызын табыңыз.", m)) {
        return std::to_string(Number(m[0]) * Number(m[1]) / 100);
    }
    if (Match(q, "Қабырғасы {} см болатын шаршының периметрі неше сантиметр?", m)) {
        return std::to_string(4 * Number(m[0])) + " см";
    }
    if (Match(q, "Ұзындығы {} см, ені {} см болатын тіктөртбұрыштың ауданы неше шаршы сантиметр?",
              m)) {
        return std::to_string(Number(m[0]) * Number(m[1])) + " шаршы см";
    }
    if (Match(q, "{} {} неше {} болады?", m)) {
        static const std::map<std::pair<std::string, std::string>, long> factors = {
            {{"километр", "метр"}, 1000},     {{"метр", "сантиметр"}, 100},
            {{"сантиметр", "миллиметр"}, 10}, {{"дециметр", "сантиметр"}, 10},
            {{"килограмм", "грамм"}, 1000},   {{"тонна", "килограмм"}, 1000},
            {{"литр", "миллилитр"}, 1000},    {{"сағат", "минут"}, 60},
            {{"минут", "секунд"}, 60},        {{"тәулік", "сағат"}, 24},
            {{"ғасыр", "жыл"}, 100}};
        auto f = factors.find({m[1], m[2]});
        EXPECT_NE(f, factors.end()) << q;
        return f == factors.end() ? "" : std::to_string(Number(m[0]) * f->second) + " " + m[2];
    }
    if (Match(q, "{} аптада неше күн бар?", m)) return std::to_string(7 * Number(m[0])) + " күн";
    if (Match(q, "{} жылда неше ай бар?", m)) return std::to_string(12 * Number(m[0])) + " ай";
    if (Match(q, "{} айында неше күн бар?", m)) {
        static const std::map<std::string, std::string> monthDays = {
            {"Қаңтар", "31"}, {"Наурыз", "31"}, {"Сәуір", "30"},    {"Мамыр", "31"},
            {"Маусым", "30"}, {"Шілде", "31"},  {"Тамыз", "31"},    {"Қыркүйек", "30"},
            {"Қазан", "31"},  {"Қараша", "30"}, {"Желтоқсан", "31"}};
        auto d = monthDays.find(m[0]);
        EXPECT_NE(d, monthDays.end()) << q;
        return d == monthDays.end() ? "" : d->second + " күн";
    }
    if (Match(q, "Жылдың {} айы қалай аталады?", m)) {
        static const std::vector<std::string> ordinals = {
            "бірінші", "екінші",    "үшінші",    "төртінші", "бесінші",    "алтыншы",
            "жетінші", "сегізінші", "тоғызыншы", "оныншы",   "он бірінші", "он екінші"};
        static const std::vector<std::string> months = {
            "Қаңтар", "Ақпан", "Наурыз",   "Сәуір", "Мамыр",  "Маусым",
            "Шілде",  "Тамыз", "Қыркүйек", "Қазан", "Қараша", "Желтоқсан"};
        for (size_t i = 0; i < ordinals.size(); ++i) {
            if (ordinals[i] == m[0]) return months[i];
        }
        ADD_FAILURE() << q;
        return "";
    }
    if (Match(q, "Бүгін {}. {} күннен кейін аптаның қай күні болады?", m)) {
        static const std::vector<std::string> weekdays = {
            "дүйсенбі", "сейсенбі", "сәрсенбі", "бейсенбі", "жұма", "сенбі", "жексенбі"};
        static const std::vector<std::string> capitals = {
            "Дүйсенбі", "Сейсенбі", "Сәрсенбі", "Бейсенбі", "Жұма", "Сенбі", "Жексенбі"};
        for (size_t i = 0; i < weekdays.size(); ++i) {
            if (weekdays[i] == m[0]) return capitals[(i + static_cast<size_t>(Number(m[1]))) % 7];
        }
        ADD_FAILURE() << q;
        return "";
    }
    if (Match(q, "Сағат {}:{}. {} минуттан кейін сағат неше болады?", m)) {
        const long t = (Number(m[0]) * 60 + Number(m[1]) + Number(m[2])) % (24 * 60);
        char text[16];
        std::snprintf(text, sizeof text, "%ld:%02ld", t / 60, t % 60);
        return text;
    }
    ADD_FAILURE() << "a question of no known kind: " << q;
    return "";
}

TEST(GeneratedVariants, TheAnswerCheckerReadsItsPatterns) {
    std::vector<std::string> m;
    EXPECT_TRUE(Match("a 12 b 3", "a {} b {}", m));
    EXPECT_EQ(m, (std::vector<std::string>{"12", "3"}));
    EXPECT_FALSE(Match("a 12 c 3", "a {} b {}", m));
    EXPECT_FALSE(Match("a 12 b 3 x", "a {} b {}!", m));
    EXPECT_EQ(Expected("Өрнектің мәнін табыңыз: 84 : 7"), "12");
    EXPECT_EQ(Expected("Сағат 23:50. 20 минуттан кейін сағат неше болады?"), "0:10");
    EXPECT_EQ(Expected("Бүгін жексенбі. 8 күннен кейін аптаның қай күні болады?"), "Дүйсенбі");
    EXPECT_EQ(Expected("3 тәулік неше сағат болады?"), "72 сағат");
}

TEST_F(SampleData, GeneratedRightAnswersAreRight) {
    ASSERT_EQ(result_->status, 0);
    int checked = 0;
    for (int n = 6; n <= 30; ++n) {
        const Table t = ReadVariant(Out("Kaz" + std::to_string(n) + ".dbf"));
        for (const auto& r : t.records) {
            EXPECT_EQ(r[1], Expected(r[0])) << "Kaz" << n << ": " << r[0];
            for (size_t w = 2; w < 6; ++w)
                EXPECT_NE(r[w], Expected(r[0])) << "Kaz" << n << ": " << r[0];
            ++checked;
        }
    }
    EXPECT_EQ(checked, 25 * 20);
}

TEST_F(SampleData, ExportGivesABankThatImportsToTheSameQuestions) {
    ASSERT_EQ(result_->status, 0);
    testutil::TempDir dir;
    const testutil::CommandResult exported = Kazdata("export " + Quote(Out("Kaz3.dbf")));
    ASSERT_EQ(exported.status, 0) << exported.err;
    WriteText(dir.File("bank.txt"), exported.out);
    ASSERT_EQ(Kazdata("import " + Quote(dir.File("bank.txt")) + " " + Quote(dir.File("again.dbf")))
                  .status,
              0);
    EXPECT_EQ(ReadVariant(dir.File("again.dbf")).records, ReadVariant(Out("Kaz3.dbf")).records);
}

}  // namespace
