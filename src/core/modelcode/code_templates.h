#pragma once

#include <QStringView>

#include <span>

// Every template the model-code composers expand, with its product series and when
// it is used. The composers take their templates from here and the key of the codes
// ("流量计参数代号") is written from here, so the two cannot disagree.
enum class CodeTemplateId {
    // turbine
    VrnaPlain, VrnaDab, VrnaDarV, VrnaCorrector, VrneCounter, VrneNoCounter, VrnsII, VrnuPlain, VrnuDab,
    VrnuCity, VrnuAir, VrnsHart, VrnsCurrent, Vrns, VrnCurrent, Vrn, Sjf,
    // vortex precession
    PwxHart, PwxCurrent, Pwx, PwxcMode, PwxcSuffix, MqeCurrent, Mqe, Sjn,
    // rotary lobe (RKD) and roots (G)
    RkevLetters, RkevGW, RkevG, RkevBW, RdarI, RkevB, RdarV, RthreadDarV, Rdar, RthreadPulse, Rthread, Rpulse,
    Rplain, RcardCounter, Rcard, RdabRoots, Rdab, RthreadZ, Rz, RthreadPlainD, RplainD, RcorrectorPart,
    RpartDarV,
};

enum class CodeFamily { Turbine, Vortex, RotaryLobe };

struct CodeTemplate {
    CodeTemplateId id;
    CodeFamily family;
    const char16_t* series; // the product series the code names; empty for a part of a code
    const char16_t* text;   // the template, placeholders in braces (see codePlaceholders())
    const char* when;       // when the composers use it
};

std::span<const CodeTemplate> codeTemplates();
QStringView codeTemplate(CodeTemplateId id);
