#include "db/sql/SqlDialect.h"

#include "db/QuotedText.h"
#include "db/format/DBEngineError.h"

#include <QSet>

#include <algorithm>
#include <map>
#include <optional>

namespace {

enum class TKind { Word, Number, DQ, SQ, Punct };

struct TToken {
    TKind Kind = TKind::Punct;
    QString Text; // quoted kinds: the content without quotes
    int Pos = 0;
    int End = 0; // position after the token
};

[[noreturn]] void Fail(const QString& why) {
    throw EDBEngineError(DBErrorCode::SqlSyntax, QStringLiteral("Invalid SQL: %1").arg(why));
}

std::vector<TToken> Tokenize(const QString& s) {
    std::vector<TToken> out;
    const int n = static_cast<int>(s.size());
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const auto end = s.indexOf(QLatin1String("*/"), i + 2);
            if (end < 0)
                Fail(QStringLiteral("unterminated comment at position %1").arg(i + 1));
            i = static_cast<int>(end) + 2;
            continue;
        }
        TToken t;
        t.Pos = i;
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            t.Kind = c == QLatin1Char('"') ? TKind::DQ : TKind::SQ;
            const auto text = ReadQuotedText(s, i);
            if (!text)
                Fail(QStringLiteral("unterminated quoted text starting at position %1")
                         .arg(t.Pos + 1));
            t.Text = *text;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            t.Kind = TKind::Number;
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                t.Text += s[i++];
            if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E')) &&
                ((i + 1 < n && s[i + 1].isDigit()) ||
                 (i + 2 < n && (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-')) &&
                  s[i + 2].isDigit()))) {
                t.Text += s[i++];
                t.Text += s[i++];
                while (i < n && s[i].isDigit())
                    t.Text += s[i++];
            }
            if (i < n && (s[i].isLetter() || s[i] == QLatin1Char('_')))
                Fail(QStringLiteral("bad number at position %1").arg(t.Pos + 1));
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            t.Kind = TKind::Word;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('_') ||
                             s[i] == QLatin1Char('$') || s[i] == QLatin1Char('#')))
                t.Text += s[i++];
        } else {
            t.Kind = TKind::Punct;
            static const char* const two[] = {"<>", "<=", ">=", "!=", "||", "=="};
            const QString pair = s.mid(i, 2);
            for (const char* p : two)
                if (pair == QLatin1String(p))
                    t.Text = pair;
            if (t.Text.isEmpty()) {
                if (!QStringLiteral("(),.;*+-/=<>%").contains(c))
                    Fail(QStringLiteral("unexpected character '%1' at position %2")
                             .arg(c)
                             .arg(i + 1));
                t.Text = c;
            }
            i += static_cast<int>(t.Text.size());
        }
        t.End = i;
        out.push_back(std::move(t));
    }
    return out;
}

bool IsWord(const TToken& t, const char* w) {
    return t.Kind == TKind::Word && t.Text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}
bool IsPunct(const TToken& t, const char* p) {
    return t.Kind == TKind::Punct && t.Text == QLatin1String(p);
}

bool IsKeyword(const TToken& t) {
    static const QSet<QString> keywords = {
        QStringLiteral("SELECT"),    QStringLiteral("DISTINCT"),   QStringLiteral("ALL"),
        QStringLiteral("FROM"),      QStringLiteral("WHERE"),      QStringLiteral("GROUP"),
        QStringLiteral("BY"),        QStringLiteral("ORDER"),      QStringLiteral("HAVING"),
        QStringLiteral("AS"),        QStringLiteral("AND"),        QStringLiteral("OR"),
        QStringLiteral("NOT"),       QStringLiteral("NULL"),       QStringLiteral("IS"),
        QStringLiteral("IN"),        QStringLiteral("LIKE"),       QStringLiteral("BETWEEN"),
        QStringLiteral("CASE"),      QStringLiteral("WHEN"),       QStringLiteral("THEN"),
        QStringLiteral("ELSE"),      QStringLiteral("END"),        QStringLiteral("ASC"),
        QStringLiteral("DESC"),      QStringLiteral("JOIN"),       QStringLiteral("INNER"),
        QStringLiteral("LEFT"),      QStringLiteral("RIGHT"),      QStringLiteral("OUTER"),
        QStringLiteral("FULL"),      QStringLiteral("CROSS"),      QStringLiteral("NATURAL"),
        QStringLiteral("ON"),        QStringLiteral("USING"),      QStringLiteral("UNION"),
        QStringLiteral("EXISTS"),    QStringLiteral("ESCAPE"),     QStringLiteral("COLLATE"),
        QStringLiteral("ASCENDING"), QStringLiteral("DESCENDING"), QStringLiteral("INTERSECT"),
        QStringLiteral("EXCEPT"),    QStringLiteral("LIMIT"),      QStringLiteral("OFFSET"),
        QStringLiteral("TRUE"),      QStringLiteral("FALSE"),      QStringLiteral("CAST")};
    return t.Kind == TKind::Word && keywords.contains(t.Text.toUpper());
}

bool IsClauseEnd(const TToken& t) {
    for (const char* w :
         {"WHERE", "GROUP", "ORDER", "HAVING", "UNION", "INTERSECT", "EXCEPT", "LIMIT"})
        if (IsWord(t, w))
            return true;
    return IsPunct(t, ")") || IsPunct(t, ";");
}

bool IsJoinWord(const TToken& t) {
    for (const char* w : {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "OUTER", "CROSS", "NATURAL"})
        if (IsWord(t, w))
            return true;
    return false;
}

QString StripExtension(const QString& name) {
    return name.endsWith(QLatin1String(".db"), Qt::CaseInsensitive) ? name.left(name.size() - 3)
                                                                    : name;
}

QString QuoteIdent(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

QString QuoteLiteral(const QString& s) {
    QString q = s;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

struct TTableRef {
    QString Written;  // the table as named in the text
    QString Internal; // the name in the SQLite database
    QString Alias;
    bool ExplicitAlias = false;
};

// A column reference: optional qualifier and the column name.
struct TColumnRef {
    QString Qualifier;
    QString Column;
};

class TTranslator {
public:
    TTranslator(const QString& text, const std::function<QString(const QString&)>& resolve)
        : FToks(Tokenize(text)), FResolve(resolve) {}

    TTranslation Run() {
        while (!FToks.empty() && IsPunct(FToks.back(), ";"))
            FToks.pop_back();
        if (FToks.empty())
            Fail(QStringLiteral("the SQL text is empty"));
        if (!IsWord(FToks.front(), "SELECT"))
            Fail(QStringLiteral("only SELECT statements can be run, not \"%1\"")
                     .arg(FToks.front().Text));
        ComputeDepths();
        for (std::size_t i = 0; i < FToks.size(); ++i) {
            if (IsPunct(FToks[i], ";"))
                Fail(QStringLiteral("only one statement can be run at a time"));
            if (IsWord(FToks[i], "FROM"))
                ScanFrom(i + 1);
        }
        TTranslation result;
        result.Items = CheckOuterSelect();
        result.Sql = Emit(0, FToks.size());
        return result;
    }

private:
    void ComputeDepths() {
        int depth = 0;
        FDepth.resize(FToks.size());
        FMatch.assign(FToks.size(), 0);
        std::vector<std::size_t> open;
        for (std::size_t i = 0; i < FToks.size(); ++i) {
            if (IsPunct(FToks[i], "(")) {
                open.push_back(i);
                FDepth[i] = depth++;
            } else if (IsPunct(FToks[i], ")")) {
                if (open.empty())
                    Fail(QStringLiteral("unbalanced ')' at position %1").arg(FToks[i].Pos + 1));
                FMatch[open.back()] = i;
                FMatch[i] = open.back();
                open.pop_back();
                FDepth[i] = --depth;
            } else {
                FDepth[i] = depth;
            }
        }
        if (!open.empty())
            Fail(QStringLiteral("missing ')' for '(' at position %1")
                     .arg(FToks[open.back()].Pos + 1));
    }

    bool At(std::size_t i) const { return i < FToks.size(); }

    // True when token i ends a clause of the level `depth`: the closing
    // parenthesis of the enclosing level, or a clause word or `extra` word at
    // this level.
    bool EndsLevel(std::size_t i, int depth, bool joins) const {
        if (FDepth[i] < depth)
            return true;
        if (FDepth[i] > depth || IsPunct(FToks[i], "(") || IsPunct(FToks[i], ")"))
            return false;
        return IsClauseEnd(FToks[i]) || IsPunct(FToks[i], ",") || (joins && IsJoinWord(FToks[i]));
    }

    // Reads the table list after FROM at token i: references separated by
    // commas or joins, each with an optional alias, joins with ON or USING.
    void ScanFrom(std::size_t i) {
        const int depth = At(i) ? FDepth[i] : 0;
        while (true) {
            if (!At(i))
                Fail(QStringLiteral("a table name is missing after FROM"));
            const TToken& t = FToks[i];
            if (IsPunct(t, "("))
                Fail(QStringLiteral("sub-queries in FROM are not supported"));
            if ((t.Kind != TKind::Word && t.Kind != TKind::DQ) ||
                (t.Kind == TKind::Word && IsKeyword(t)))
                Fail(QStringLiteral("a table name is expected at position %1, not \"%2\"")
                         .arg(t.Pos + 1)
                         .arg(t.Text));
            TTableRef ref;
            ref.Written = t.Text;
            const std::size_t first = i++;
            // A bare file name: phase.db
            if (t.Kind == TKind::Word && At(i + 1) && IsPunct(FToks[i], ".") &&
                FToks[i + 1].Kind == TKind::Word) {
                ref.Written += QLatin1Char('.') + FToks[i + 1].Text;
                i += 2;
            }
            if (At(i) && IsWord(FToks[i], "AS")) {
                ++i;
                if (!At(i) || (FToks[i].Kind != TKind::Word && FToks[i].Kind != TKind::DQ) ||
                    IsKeyword(FToks[i]))
                    Fail(QStringLiteral("an alias is expected after AS"));
                ref.Alias = FToks[i++].Text;
                ref.ExplicitAlias = true;
            } else if (At(i) && FToks[i].Kind == TKind::Word && !IsKeyword(FToks[i])) {
                ref.Alias = FToks[i++].Text;
                ref.ExplicitAlias = true;
            }
            if (!ref.ExplicitAlias) {
                ref.Alias = StripExtension(ref.Written);
                // An alias must be a plain name; the internal name serves otherwise.
                if (std::any_of(ref.Alias.begin(), ref.Alias.end(), [](QChar ch) {
                        return !ch.isLetterOrNumber() && ch != QLatin1Char('_');
                    }))
                    ref.Alias.clear();
            }
            ref.Internal = FResolve(ref.Written);
            if (ref.Alias.isEmpty())
                ref.Alias = ref.Internal;
            for (const TTableRef& other : FRefs)
                if (other.Alias.compare(ref.Alias, Qt::CaseInsensitive) == 0)
                    Fail(QStringLiteral("the table name or alias \"%1\" is used twice")
                             .arg(ref.Alias));
            FRefAt[first] = FRefs.size();
            FSkipUntil[first] = i;
            FRefs.push_back(ref);

            if (!At(i))
                return;
            if (IsPunct(FToks[i], ",") && FDepth[i] == depth) {
                ++i;
                continue;
            }
            if (IsWord(FToks[i], "ON") || IsWord(FToks[i], "USING")) {
                ++i;
                while (At(i) && !EndsLevel(i, depth, true))
                    ++i;
                if (!At(i))
                    return;
                if (IsPunct(FToks[i], ",")) {
                    ++i;
                    continue;
                }
            }
            if (IsJoinWord(FToks[i])) {
                while (At(i) && IsJoinWord(FToks[i]) && !IsWord(FToks[i], "JOIN"))
                    ++i;
                if (!At(i) || !IsWord(FToks[i], "JOIN"))
                    Fail(QStringLiteral("JOIN is expected"));
                ++i;
                continue;
            }
            return;
        }
    }

    // The alias that a qualifier stands for.
    QString ResolveQualifier(const QString& q, const QString& column) const {
        for (const TTableRef& r : FRefs)
            if (r.Alias.compare(q, Qt::CaseInsensitive) == 0)
                return r.Alias;
        std::optional<QString> found;
        for (const TTableRef& r : FRefs) {
            if (r.Written.compare(q, Qt::CaseInsensitive) == 0 ||
                StripExtension(r.Written).compare(StripExtension(q), Qt::CaseInsensitive) == 0) {
                if (found && *found != r.Alias)
                    Fail(QStringLiteral("the qualifier \"%1\" in %1.%2 names more than one table")
                             .arg(q, column));
                found = r.Alias;
            }
        }
        if (!found)
            Fail(QStringLiteral("unknown table or alias \"%1\" in %1.%2").arg(q, column));
        return *found;
    }

    bool IsPrefixNot(std::size_t i) const {
        if (!IsWord(FToks[i], "NOT"))
            return false;
        if (At(i + 1) && (IsWord(FToks[i + 1], "EXISTS") || IsWord(FToks[i + 1], "IN") ||
                          IsWord(FToks[i + 1], "LIKE") || IsWord(FToks[i + 1], "BETWEEN") ||
                          IsWord(FToks[i + 1], "NULL")))
            return false;
        if (i == 0)
            return true;
        const TToken& p = FToks[i - 1];
        for (const char* w : {"WHERE", "AND", "OR", "ON", "HAVING", "WHEN", "THEN", "ELSE", "NOT"})
            if (IsWord(p, w))
                return true;
        return IsPunct(p, "(");
    }

    // The end (exclusive) of the operand of a prefix NOT at i.
    std::size_t NotOperandEnd(std::size_t i) const {
        if (At(i + 1) && IsPunct(FToks[i + 1], "("))
            return FMatch[i + 1] + 1;
        const int depth = FDepth[i];
        std::size_t j = i + 1;
        while (At(j) && !EndsLevel(j, depth, true) &&
               !(FDepth[j] == depth &&
                 (IsWord(FToks[j], "AND") || IsWord(FToks[j], "OR") || IsWord(FToks[j], "THEN") ||
                  IsWord(FToks[j], "ELSE") || IsWord(FToks[j], "END"))))
            ++j;
        return j;
    }

    // Emits tokens [from, to) in SQLite's dialect. Tokens are separated by one
    // blank where the text had white space between them, so that a result
    // column named after its expression keeps the name as written.
    QString Emit(std::size_t from, std::size_t to) const {
        QString out;
        std::size_t at = from;
        auto add = [&](const QString& piece) {
            bool blank = at > from && FToks[at].Pos > FToks[at - 1].End;
            // Never glue two pieces into the start of a comment.
            if (!blank && !out.isEmpty() && !piece.isEmpty()) {
                const QChar last = out.back();
                const QChar next = piece.front();
                blank = (last == QLatin1Char('-') && next == QLatin1Char('-')) ||
                        (last == QLatin1Char('/') && next == QLatin1Char('*')) ||
                        (last == QLatin1Char('*') && next == QLatin1Char('/'));
            }
            if (blank)
                out += QLatin1Char(' ');
            out += piece;
        };
        for (std::size_t i = from; i < to; ++i) {
            at = i;
            const TToken& t = FToks[i];
            if (const auto ref = FRefAt.find(i); ref != FRefAt.end()) {
                const TTableRef& r = FRefs[ref->second];
                add(QuoteIdent(r.Internal) + QStringLiteral(" AS ") + QuoteIdent(r.Alias));
                i = FSkipUntil.at(i) - 1;
                continue;
            }
            const bool afterDot = i > 0 && IsPunct(FToks[i - 1], ".");
            const bool qualifier = (t.Kind == TKind::Word || t.Kind == TKind::DQ) && At(i + 1) &&
                                   IsPunct(FToks[i + 1], ".") && !afterDot;
            if (qualifier) {
                const QString column = At(i + 2) ? FToks[i + 2].Text : QString();
                add(QuoteIdent(ResolveQualifier(t.Text, column)));
                continue;
            }
            if (IsPrefixNot(i)) {
                const std::size_t end = NotOperandEnd(i);
                if (end == i + 1)
                    Fail(QStringLiteral("NOT without an operand at position %1").arg(t.Pos + 1));
                add(QStringLiteral("NOT coalesce((") + Emit(i + 1, end) + QStringLiteral("),0)"));
                i = end - 1;
                continue;
            }
            switch (t.Kind) {
            case TKind::DQ:
                add(afterDot ? QuoteIdent(t.Text) : QuoteLiteral(t.Text));
                break;
            case TKind::SQ:
                add(QuoteLiteral(t.Text));
                break;
            default:
                add(t.Text == QLatin1String("==") ? QStringLiteral("=") : t.Text);
                break;
            }
        }
        return out;
    }

    // Splits [from, to) at commas of depth `depth`.
    std::vector<std::pair<std::size_t, std::size_t>> SplitList(std::size_t from, std::size_t to,
                                                               int depth) const {
        std::vector<std::pair<std::size_t, std::size_t>> parts;
        std::size_t start = from;
        for (std::size_t i = from; i < to; ++i)
            if (IsPunct(FToks[i], ",") && FDepth[i] == depth) {
                parts.emplace_back(start, i);
                start = i + 1;
            }
        if (start < to)
            parts.emplace_back(start, to);
        return parts;
    }

    static bool IsAggregate(const TToken& t) {
        for (const char* w : {"SUM", "COUNT", "AVG", "MIN", "MAX"})
            if (IsWord(t, w))
                return true;
        return false;
    }

    // Column references in [from, to) outside aggregate calls.
    std::vector<TColumnRef> PlainColumns(std::size_t from, std::size_t to, bool& aggregate) const {
        std::vector<TColumnRef> cols;
        for (std::size_t i = from; i < to; ++i) {
            const TToken& t = FToks[i];
            if (At(i + 1) && IsPunct(FToks[i + 1], "(") && t.Kind == TKind::Word) {
                if (IsAggregate(t)) {
                    aggregate = true;
                    i = FMatch[i + 1];
                }
                continue;
            }
            if (t.Kind == TKind::Word && !IsKeyword(t)) {
                if (At(i + 2) && IsPunct(FToks[i + 1], ".")) {
                    cols.push_back({t.Text, FToks[i + 2].Text});
                    i += 2;
                } else {
                    cols.push_back({QString(), t.Text});
                }
            } else if (t.Kind == TKind::DQ && At(i + 2) && IsPunct(FToks[i + 1], ".")) {
                cols.push_back({t.Text, FToks[i + 2].Text});
                i += 2;
            }
        }
        return cols;
    }

    // Checks the outermost select list against GROUP BY and tells what each
    // item is.
    std::vector<TSelectItemKind> CheckOuterSelect() const {
        std::size_t from = 1;
        if (At(from) && (IsWord(FToks[from], "DISTINCT") || IsWord(FToks[from], "ALL")))
            ++from;
        std::size_t end = from;
        while (At(end) && !(FDepth[end] == 0 && IsWord(FToks[end], "FROM")))
            ++end;
        if (end == from)
            Fail(QStringLiteral("the select list is empty"));
        if (!At(end))
            Fail(QStringLiteral("FROM is missing"));
        std::optional<std::pair<std::size_t, std::size_t>> groupBy;
        for (std::size_t i = end; i + 1 < FToks.size(); ++i)
            if (FDepth[i] == 0 && IsWord(FToks[i], "GROUP") && IsWord(FToks[i + 1], "BY")) {
                std::size_t j = i + 2;
                while (At(j) && !(EndsLevel(j, 0, false) && !IsPunct(FToks[j], ",")))
                    ++j;
                groupBy = std::make_pair(i + 2, j);
            }
        std::vector<TColumnRef> grouped;
        if (groupBy) {
            bool unused = false;
            grouped = PlainColumns(groupBy->first, groupBy->second, unused);
        }

        struct TItem {
            std::size_t From, To;
            QString Alias;
            bool Star = false;
        };
        std::vector<TItem> items;
        for (const auto& [a, b] : SplitList(from, end, 0)) {
            TItem item{a, b, {}, false};
            if (b - a >= 2 && FToks[b - 1].Kind == TKind::Word && !IsKeyword(FToks[b - 1])) {
                const TToken& before = FToks[b - 2];
                if (IsWord(before, "AS")) {
                    item.Alias = FToks[b - 1].Text;
                    item.To = b - 2;
                } else if (before.Kind != TKind::Punct || IsPunct(before, ")")) {
                    if (!(before.Kind == TKind::Word && IsKeyword(before))) {
                        item.Alias = FToks[b - 1].Text;
                        item.To = b - 1;
                    }
                }
            } else if (b - a >= 2 && FToks[b - 1].Kind == TKind::DQ && IsWord(FToks[b - 2], "AS")) {
                item.Alias = FToks[b - 1].Text;
                item.To = b - 2;
            }
            item.Star = IsPunct(FToks[item.To - 1], "*") &&
                        (item.To - item.From == 1 || IsPunct(FToks[item.To - 2], "."));
            if (item.To == item.From)
                Fail(QStringLiteral("an empty item in the select list"));
            items.push_back(item);
        }

        bool anyAggregate = false;
        std::vector<std::vector<TColumnRef>> plain;
        for (const TItem& item : items) {
            bool aggregate = false;
            plain.push_back(item.Star ? std::vector<TColumnRef>{}
                                      : PlainColumns(item.From, item.To, aggregate));
            anyAggregate = anyAggregate || aggregate;
        }
        const bool star =
            std::any_of(items.begin(), items.end(), [](const TItem& i) { return i.Star; });
        if ((anyAggregate || groupBy) && star)
            Fail(QStringLiteral("\"*\" cannot be used with GROUP BY or aggregates"));
        if (anyAggregate || groupBy) {
            for (std::size_t k = 0; k < items.size(); ++k) {
                // GROUP BY may name the item by its alias.
                const bool byAlias =
                    !items[k].Alias.isEmpty() &&
                    std::any_of(grouped.begin(), grouped.end(), [&](const TColumnRef& g) {
                        return g.Qualifier.isEmpty() &&
                               g.Column.compare(items[k].Alias, Qt::CaseInsensitive) == 0;
                    });
                if (byAlias)
                    continue;
                for (const TColumnRef& c : plain[k])
                    if (!IsGrouped(c, grouped))
                        Fail(QStringLiteral(
                                 "the column \"%1\" in the select list is neither in GROUP BY "
                                 "nor inside an aggregate")
                                 .arg(c.Qualifier.isEmpty()
                                          ? c.Column
                                          : c.Qualifier + QLatin1Char('.') + c.Column));
            }
        }

        std::vector<TSelectItemKind> kinds;
        if (star)
            return kinds;
        for (const TItem& item : items)
            kinds.push_back(ItemKind(item.From, item.To));
        return kinds;
    }

    bool IsGrouped(const TColumnRef& c, const std::vector<TColumnRef>& grouped) const {
        for (const TColumnRef& g : grouped) {
            if (g.Column.compare(c.Column, Qt::CaseInsensitive) != 0)
                continue;
            if (g.Qualifier.isEmpty() || c.Qualifier.isEmpty())
                return true;
            if (ResolveQualifier(g.Qualifier, g.Column) == ResolveQualifier(c.Qualifier, c.Column))
                return true;
        }
        return false;
    }

    TSelectItemKind ItemKind(std::size_t from, std::size_t to) const {
        const TToken& t = FToks[from];
        const std::size_t n = to - from;
        if (n == 1 && t.Kind == TKind::Number)
            return t.Text.contains(QLatin1Char('.')) ||
                           t.Text.contains(QLatin1Char('e'), Qt::CaseInsensitive)
                       ? TSelectItemKind::FloatConstant
                       : TSelectItemKind::IntegerConstant;
        if (n == 1 && (t.Kind == TKind::DQ || t.Kind == TKind::SQ))
            return TSelectItemKind::TextConstant;
        if ((n == 1 && t.Kind == TKind::Word) || (n == 3 && IsPunct(FToks[from + 1], ".")))
            return TSelectItemKind::Column;
        if (n >= 3 && IsPunct(FToks[from + 1], "(") && FMatch[from + 1] == to - 1) {
            if (IsWord(t, "COUNT"))
                return TSelectItemKind::Count;
            if (IsWord(t, "SUM") || IsWord(t, "AVG"))
                return TSelectItemKind::Sum;
        }
        return TSelectItemKind::Other;
    }

    std::vector<TToken> FToks;
    const std::function<QString(const QString&)>& FResolve;
    std::vector<int> FDepth;
    std::vector<std::size_t> FMatch;
    std::vector<TTableRef> FRefs;
    std::map<std::size_t, std::size_t> FRefAt;     // token of a table reference -> FRefs index
    std::map<std::size_t, std::size_t> FSkipUntil; // ... -> first token after the reference
};

} // namespace

TTranslation TranslateSql(const QString& text,
                          const std::function<QString(const QString&)>& resolve) {
    return TTranslator(text, resolve).Run();
}
