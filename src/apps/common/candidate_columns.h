#pragma once

#include <QString>

#include <array>

struct SizeCandidate;

// The members of a `candidate` event, in their order, which are also the columns of
// the candidates file after "Id": the name, the text, and whether the text is a
// number (a JSON number in the event; "93.8", "1.25").
struct CandidateMember {
    const char* name;
    QString text;
    bool number;
};
using CandidateMembers = std::array<CandidateMember, 8>;

CandidateMembers candidateMembers(const SizeCandidate& candidate);
