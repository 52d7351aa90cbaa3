#pragma once

#include "apps/desktop/work_questions.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QStringList>

// Answers every question the program asks with the button whose text is `answer`
// (no button when the question has none of that name), noting each question's text
// in `asked`. WorkQuestion::setHandler({}) ends it.
inline void answerQuestionsWith(const QString& answer, QStringList* asked)
{
    WorkQuestion::setHandler([answer, asked](QMessageBox& box) -> QAbstractButton* {
        *asked << box.text();
        for (QAbstractButton* b : box.buttons()) {
            if (b->text() == answer)
                return b;
        }
        return nullptr;
    });
}
