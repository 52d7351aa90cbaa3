#pragma once

#include <QString>

class Platform;
struct StoreError;

// How a failed store operation is reported, in the program's one wording:
//   data error:  "数据错误!" CR LF "(" statement ")" CR LF "(" engine's message ")"
//   query error: "数据查询错误!" ...
QString dataErrorText(const QString& statement, const QString& error);
QString queryErrorText(const QString& statement, const QString& error);

//   lost connection: the notice that the server cannot be reached, then the
//                    statement and the engine's message the same way
QString connectionLostText(const QString& statement, const QString& error);

// The data error or the query error as the program's error box; an error of a lost
// connection is told as such, whatever the operation.
void showDataError(Platform& ui, const StoreError& error);
void showQueryError(Platform& ui, const StoreError& error);

// What the print command says when the number is not stored; where the number is
// not on screen beside it (a sheet asked for by its number), the number too.
QString notSavedMessage();
QString notSavedMessage(const QString& number);
