#pragma once
// A question of a scored run that was answered wrongly, as it was shown: its number, its
// text, the five answers in the arrangement drawn for it, the item that held the right
// answer and the item the candidate chose (0 to 4 for A to E).

#include <QString>
#include <array>

struct WrongAnswer {
    int questionNo = 0;
    QString question;
    std::array<QString, 5> answers;
    int rightItem = 0;
    int chosenItem = 0;
};
