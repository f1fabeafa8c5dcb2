#include "controls/FcPointExpression.h"

#include "controls/EInvalidOperation.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

bool isOperator(const std::string& w) { return w == "*" || w == "/" || w == "+" || w == "-"; }

int toInt(const std::string& word) {
    int v = 0;
    auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
    if (word.empty() || ec != std::errc() || end != word.data() + word.size())
        throw EFcConvertError("'" + word + "' is not a valid integer value");
    return v;
}

int apply(int a, char op, int b) {
    std::int64_t r = 0;
    switch (op) {
    case '*': r = std::int64_t(a) * b; break;
    case '/':
        if (b == 0) throw EInvalidOperation("Divide By Zero Error");
        r = std::int64_t(a) / b;
        break;
    case '+': r = std::int64_t(a) + b; break;
    default: r = std::int64_t(a) - b; break;
    }
    if (r < std::numeric_limits<int>::min() || r > std::numeric_limits<int>::max())
        throw EFcConvertError("'" + std::to_string(r) + "' is not a valid integer value");
    return int(r);
}

// The index of the earliest word that is one of the two operators, or −1.
int earliest(const std::vector<std::string>& words, const char* a, const char* b) {
    for (size_t i = 0; i < words.size(); ++i)
        if (words[i] == a || words[i] == b) return int(i);
    return -1;
}

}  // namespace

int fcEvalPointExpression(const QString& expr) {
    const std::string text = expr.toStdString();
    std::string spaced;
    for (char c : text) {
        bool ok = c == ' ' || (c >= '0' && c <= '9') || c == '*' || c == '+' || c == ',' || c == '-' || c == '/';
        if (!ok) throw EInvalidOperation("Only alpha characters \"+\", \"-\", \"x\", and \"/\" are allowed.");
        if (c == '*' || c == '+' || c == '-' || c == '/') {
            spaced += ' ';
            spaced += c;
            spaced += ' ';
        } else {
            spaced += c;
        }
    }
    // Words separated by single blanks.
    std::vector<std::string> words;
    std::string word;
    for (char c : spaced) {
        if (c == ' ') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);

    for (;;) {
        int i = earliest(words, "*", "/");
        if (i < 0) i = earliest(words, "+", "-");
        if (i < 0) break;
        std::string left = i > 0 ? words[i - 1] : std::string();
        std::string right = size_t(i) + 1 < words.size() ? words[i + 1] : std::string();
        if (isOperator(left)) left.clear();
        if (isOperator(right)) right.clear();
        int a = toInt(left), b = toInt(right);
        int r = apply(a, words[i][0], b);
        words.erase(words.begin() + (i - 1), words.begin() + (i + 2));
        words.insert(words.begin() + (i - 1), std::to_string(r));
    }
    std::string rest;
    for (size_t k = 0; k < words.size(); ++k) rest += (k ? " " : "") + words[k];
    return toInt(rest);
}

QPoint fcParseCustomPoint(const QString& line, int width1, int height1) {
    QString s = line.toUpper();
    if (!s.contains(QLatin1Char(',')))
        throw EInvalidOperation(
            "Invalid Custom Points Format.  X and Y Coordinates must be separated by a comma and space.");
    s.replace(QStringLiteral(","), QStringLiteral(", "));
    s.replace(QStringLiteral(",  "), QStringLiteral(", "));
    s.replace(QStringLiteral("WIDTH"), QString::number(width1));
    s.replace(QStringLiteral("HEIGHT"), QString::number(height1));
    int at = s.indexOf(QStringLiteral(", "));
    return {fcEvalPointExpression(s.left(at)), fcEvalPointExpression(s.mid(at + 2))};
}
