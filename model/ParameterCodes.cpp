#include "ParameterCodes.h"

#include "AuxLineFunctions.h"
#include "CScaleMisuraDisplay.h"
#include "ModelError.h"
#include "ResourceText.h"
#include "StringTable.h"

QString EnumCodeText(std::int32_t baseId, std::int32_t code, std::int32_t count)
{
    if (code < 0 || code >= count)
        return QString::number(code);
    return LoadResourceString(baseId + code);
}

QString AuxLine(std::int32_t templateId, const QString &value)
{
    return GetResourceText(templateId, {QVariant(value)});
}

QString AuxCommandPrefix(std::int32_t templateId)
{
    const QString text = LoadResourceString(templateId);
    return text.left(text.size() - 2);
}

QString LetteredCode(QChar letter, std::int32_t code)
{
    return QString(letter) + QString::number(static_cast<std::int64_t>(code) + 1);
}

std::int16_t ReadLastDigitCode(const QString &text, const QString &what)
{
    if (text.isEmpty() || text.back() < QLatin1Char('0') || text.back() > QLatin1Char('9'))
        RaiseSetupReadError(SetupReadError::LineError(QStringLiteral("Valore non valido per ") + what +
                                                          QStringLiteral(": \"") + text + QLatin1Char('"'),
                                                      what, text));
    return static_cast<std::int16_t>(text.back().unicode() - u'0' - 1);
}

bool FieldValueFits(const FieldRule &rule, std::int32_t value)
{
    if (rule.kind != FieldRule::Kind::DigitalPoint)
        return value >= rule.min && value <= rule.max;
    // Each family's table: its low word counts the decimals.
    const bool four = value >= 0 && value <= 3 && rule.min <= 3;
    const bool six = value >= 0x10000 && value <= 0x10005 && rule.max >= 0x10000;
    return four || six;
}

void CheckFieldValue(const FieldRule &rule, std::int32_t value, const QString &table)
{
    if (FieldValueFits(rule, value))
        return;
    const QString column = QString::fromLatin1(rule.column);
    if (rule.kind == FieldRule::Kind::Number)
        RaiseSetupReadError(SetupReadError::RefusedValue(
                                QStringLiteral("Valore fuori dai limiti per %1: %2 (da %3 a %4)")
                                    .arg(column)
                                    .arg(value)
                                    .arg(rule.min)
                                    .arg(rule.max),
                                SetupReadError::Cause::Range, column, QString::number(value), rule.min, rule.max)
                                .InObject(table));
    // A decimal point of the other display is named by its sample text, as
    // the pages show decimal points.
    QString shown = QString::number(value);
    if (rule.kind == FieldRule::Kind::DigitalPoint && FieldValueFits(DigitalPointRule(rule.column), value))
        shown = CScaleMisuraDisplay::GetDigitalPointInfo(value).Sample;
    RaiseSetupReadError(SetupReadError::RefusedValue(QStringLiteral("Valore fuori tabella per ") + column +
                                                         QStringLiteral(": ") + QString::number(value),
                                                     SetupReadError::Cause::Choice, column, shown)
                            .InObject(table));
}

std::int16_t CheckCodeInTable(std::int32_t code, std::int32_t count, const QString &what)
{
    if (code < 0 || code >= count)
        RaiseSetupReadError(SetupReadError::RefusedValue(QStringLiteral("Valore fuori tabella per ") + what +
                                                             QStringLiteral(": ") + QString::number(code),
                                                         SetupReadError::Cause::Choice, what, QString::number(code)));
    return static_cast<std::int16_t>(code);
}

std::int16_t ReadLetteredCodeLine(const MemMapAuxLines &lines, std::int32_t templateId, std::int32_t count,
                                  const QString &what)
{
    const QString value = FindCmdAuxValue(static_cast<std::int16_t>(templateId), lines);
    return CheckCodeInTable(ReadLastDigitCode(value, AuxCommandPrefix(templateId)), count, what);
}
