#include "tools/kazdata/VariantGenerator.h"

#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "tools/kazdata/Random.h"

namespace kazdata {
namespace {

struct Item {
    std::string question;
    std::string right;
    std::vector<std::string> wrong;  // at least four, all different from `right`
};

// Four different numbers near `right` from the candidates (positive, not `right`); the
// candidates are tried in a shuffled order and more are made when too few are left.
std::vector<long> NearNumbers(Random& rnd, long right, std::vector<long> candidates) {
    for (size_t i = candidates.size(); i > 1; --i) {
        std::swap(candidates[i - 1],
                  candidates[static_cast<size_t>(rnd.Below(static_cast<int>(i)))]);
    }
    std::vector<long> out;
    auto take = [&](long c) {
        if (c > 0 && c != right && std::find(out.begin(), out.end(), c) == out.end() &&
            out.size() < 4) {
            out.push_back(c);
        }
    };
    for (long c : candidates) take(c);
    for (long step = 1; out.size() < 4; ++step) {
        take(right + step);
        take(right - step);
    }
    return out;
}

Item Numeric(std::string question, long right, const std::string& unit, std::vector<long> wrong,
             Random& rnd) {
    Item item;
    item.question = std::move(question);
    const std::string suffix = unit.empty() ? "" : " " + unit;
    item.right = std::to_string(right) + suffix;
    for (long w : NearNumbers(rnd, right, std::move(wrong)))
        item.wrong.push_back(std::to_string(w) + suffix);
    return item;
}

const std::string kFindValue = "Өрнектің мәнін табыңыз: ";

Item Addition(Random& rnd) {
    const long a = rnd.Between(120, 899);
    const long b = rnd.Between(110, 899);
    const long s = a + b;
    return Numeric(kFindValue + std::to_string(a) + " + " + std::to_string(b), s, "",
                   {s + 10, s - 10, s + 100, s - 100, s + 1, s - 1}, rnd);
}

Item Subtraction(Random& rnd) {
    const long a = rnd.Between(400, 999);
    const long b = rnd.Between(101, a - 100);
    const long d = a - b;
    return Numeric(kFindValue + std::to_string(a) + " - " + std::to_string(b), d, "",
                   {d + 10, d - 10, d + 100, d - 100, a + b, d + 2}, rnd);
}

Item Multiplication(Random& rnd) {
    const long a = rnd.Between(12, 49);
    const long b = rnd.Between(3, 19);
    const long p = a * b;
    return Numeric(kFindValue + std::to_string(a) + " · " + std::to_string(b), p, "",
                   {p + a, p - a, p + b, p - b, p + 10, p - 10}, rnd);
}

Item Division(Random& rnd) {
    const long b = rnd.Between(3, 19);
    const long q = rnd.Between(12, 59);
    const long a = b * q;
    return Numeric(kFindValue + std::to_string(a) + " : " + std::to_string(b), q, "",
                   {q + 1, q - 1, q + 2, q - 2, q + 10, q - 10}, rnd);
}

Item Percent(Random& rnd) {
    static const std::array<long, 6> percents = {10, 20, 25, 40, 50, 75};
    const long p = percents[static_cast<size_t>(rnd.Below(static_cast<int>(percents.size())))];
    const long n =
        20L * rnd.Between(2, 40);  // a multiple of 20: every percent above gives a whole number
    const long r = n * p / 100;
    return Numeric(std::to_string(n) + " санының " + std::to_string(p) + " пайызын табыңыз.", r, "",
                   {r * 2, r + n / 10, n - r, r + 10, r - 10, r / 2}, rnd);
}

Item SquarePerimeter(Random& rnd) {
    const long a = rnd.Between(3, 29);
    return Numeric(
        "Қабырғасы " + std::to_string(a) + " см болатын шаршының периметрі неше сантиметр?", 4 * a,
        "см", {a * a, 2 * a, 4 * a + 4, 4 * a - 4, 3 * a}, rnd);
}

Item RectangleArea(Random& rnd) {
    const long a = rnd.Between(4, 19);
    const long b = rnd.Between(2, a - 1);
    return Numeric("Ұзындығы " + std::to_string(a) + " см, ені " + std::to_string(b) +
                       " см болатын тіктөртбұрыштың ауданы неше шаршы сантиметр?",
                   a * b, "шаршы см", {2 * (a + b), a + b, a * b + a, a * b - b, a * b + 10}, rnd);
}

struct Unit {
    const char* big;
    const char* small;
    long factor;
};

Item UnitConversion(Random& rnd) {
    static const std::array<Unit, 11> units = {{
        {"километр", "метр", 1000},
        {"метр", "сантиметр", 100},
        {"сантиметр", "миллиметр", 10},
        {"дециметр", "сантиметр", 10},
        {"килограмм", "грамм", 1000},
        {"тонна", "килограмм", 1000},
        {"литр", "миллилитр", 1000},
        {"сағат", "минут", 60},
        {"минут", "секунд", 60},
        {"тәулік", "сағат", 24},
        {"ғасыр", "жыл", 100},
    }};
    const Unit& u = units[static_cast<size_t>(rnd.Below(static_cast<int>(units.size())))];
    const long n = rnd.Between(2, 9);
    const long r = n * u.factor;
    std::vector<long> wrong = {r * 10, n + u.factor, r + u.factor, r - u.factor};
    if (r % 10 == 0) wrong.push_back(r / 10);
    return Numeric(std::to_string(n) + " " + u.big + " неше " + u.small + " болады?", r, u.small,
                   wrong, rnd);
}

Item WeeksToDays(Random& rnd) {
    const long n = rnd.Between(2, 12);
    return Numeric(std::to_string(n) + " аптада неше күн бар?", 7 * n, "күн",
                   {5 * n, 6 * n, 7 * n + 7, 7 * n - 7, 10 * n}, rnd);
}

Item YearsToMonths(Random& rnd) {
    const long n = rnd.Between(2, 10);
    return Numeric(std::to_string(n) + " жылда неше ай бар?", 12 * n, "ай",
                   {10 * n, 12 * n + 12, 12 * n - 12, 11 * n, 365 * n}, rnd);
}

const std::array<const char*, 12> kMonths = {"қаңтар",   "ақпан",  "наурыз", "сәуір",
                                             "мамыр",    "маусым", "шілде",  "тамыз",
                                             "қыркүйек", "қазан",  "қараша", "желтоқсан"};
const std::array<int, 12> kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
const std::array<const char*, 12> kOrdinals = {"бірінші",   "екінші",  "үшінші",     "төртінші",
                                               "бесінші",   "алтыншы", "жетінші",    "сегізінші",
                                               "тоғызыншы", "оныншы",  "он бірінші", "он екінші"};
const std::array<const char*, 7> kWeekdays = {"дүйсенбі", "сейсенбі", "сәрсенбі", "бейсенбі",
                                              "жұма",     "сенбі",    "жексенбі"};

// The first letter in upper case (the words here begin with a Cyrillic letter of two bytes).
std::string Capital(const std::string& word) {
    static const std::array<std::pair<const char*, const char*>, 12> pairs = {{
        {"қ", "Қ"},
        {"а", "А"},
        {"н", "Н"},
        {"с", "С"},
        {"м", "М"},
        {"ш", "Ш"},
        {"т", "Т"},
        {"ж", "Ж"},
        {"д", "Д"},
        {"б", "Б"},
        {"е", "Е"},
        {"ә", "Ә"},
    }};
    for (const auto& [lower, upper] : pairs) {
        const std::string l(lower);
        if (word.rfind(l, 0) == 0) return std::string(upper) + word.substr(l.size());
    }
    return word;
}

// Which month of the year has a given number (February left out: 28 or 29 days).
Item DaysInMonth(Random& rnd) {
    int m = rnd.Below(11);
    if (m >= 1) ++m;
    const long d = kMonthDays[static_cast<size_t>(m)];
    return Numeric(Capital(kMonths[static_cast<size_t>(m)]) + " айында неше күн бар?", d, "күн",
                   {30, 31, 28, 29, 32}, rnd);
}

// Picks four different wrong names from `names`, none equal to the right one.
std::vector<std::string> OtherNames(Random& rnd, const std::vector<std::string>& names,
                                    const std::string& right) {
    std::vector<std::string> pool;
    for (const std::string& n : names) {
        if (n != right) pool.push_back(n);
    }
    for (size_t i = pool.size(); i > 1; --i) {
        std::swap(pool[i - 1], pool[static_cast<size_t>(rnd.Below(static_cast<int>(i)))]);
    }
    pool.resize(4);
    return pool;
}

Item MonthByNumber(Random& rnd) {
    const int m = rnd.Below(12);
    std::vector<std::string> names;
    for (const char* n : kMonths) names.push_back(Capital(n));
    Item item;
    item.question =
        std::string("Жылдың ") + kOrdinals[static_cast<size_t>(m)] + " айы қалай аталады?";
    item.right = names[static_cast<size_t>(m)];
    item.wrong = OtherNames(rnd, names, item.right);
    return item;
}

Item WeekdayAfter(Random& rnd) {
    const int today = rnd.Below(7);
    const int days = rnd.Between(2, 30);
    std::vector<std::string> names;
    for (const char* n : kWeekdays) names.push_back(Capital(n));
    Item item;
    item.question = std::string("Бүгін ") + kWeekdays[static_cast<size_t>(today)] + ". " +
                    std::to_string(days) + " күннен кейін аптаның қай күні болады?";
    item.right = names[static_cast<size_t>((today + days) % 7)];
    item.wrong = OtherNames(rnd, names, item.right);
    return item;
}

std::string Clock(int minutes) {
    minutes %= 24 * 60;
    char text[8];
    std::snprintf(text, sizeof text, "%d:%02d", minutes / 60, minutes % 60);
    return text;
}

Item ClockAfter(Random& rnd) {
    const int start = rnd.Between(7, 20) * 60 + 5 * rnd.Below(12);
    const int later = 5 * rnd.Between(5, 40);
    const int end = start + later;
    Item item;
    item.question = "Сағат " + Clock(start) + ". " + std::to_string(later) +
                    " минуттан кейін сағат неше болады?";
    item.right = Clock(end);
    std::set<std::string> seen = {item.right};
    for (int delta : {60, -60, 10, -10, 5, -5, 30, -30}) {
        const std::string c = Clock(end + delta);
        if (seen.insert(c).second && item.wrong.size() < 4) item.wrong.push_back(c);
    }
    std::swap(item.wrong[0], item.wrong[static_cast<size_t>(rnd.Below(4))]);
    return item;
}

using Maker = Item (*)(Random&);

// The twenty questions of a variant: eight of arithmetic, six of units, six of calendar
// and clock.
const std::array<Maker, VariantGenerator::kQuestions> kPlan = {
    Addition,        Subtraction,    Multiplication, Division,       Percent,
    SquarePerimeter, RectangleArea,  Multiplication, UnitConversion, UnitConversion,
    UnitConversion,  UnitConversion, WeeksToDays,    YearsToMonths,  DaysInMonth,
    MonthByNumber,   WeekdayAfter,   WeekdayAfter,   ClockAfter,     DaysInMonth,
};

}  // namespace

std::string VariantGenerator::Generate(int variant) {
    Random rnd(0x4B415A00ull + static_cast<uint64_t>(variant) * 7919u);
    std::string out =
        "# Variant " + std::to_string(variant) + ", made by \"kazdata generate " +
        std::to_string(variant) +
        "\": arithmetic, units of measure, calendar and clock.\n"
        "# Do not edit by hand; the tests check that the generator still writes this file.\n";
    std::set<std::string> asked;
    for (Maker make : kPlan) {
        Item item = make(rnd);
        // The same question twice in a variant (possible for the shorter kinds): draw again.
        for (int tries = 0; !asked.insert(item.question).second && tries < 50; ++tries)
            item = make(rnd);
        const int rightAt = rnd.Below(5);
        out += "\n" + item.question + "\n";
        size_t w = 0;
        for (int i = 0; i < 5; ++i) {
            const std::string& text = i == rightAt ? item.right : item.wrong[w++];
            out += std::string(1, static_cast<char>('A' + i)) + ". " + text + "\n";
        }
        out += std::string("ANSWER: ") + static_cast<char>('A' + rightAt) + "\n";
    }
    return out;
}

}  // namespace kazdata
