#pragma once

#include "fractions/listhistory.h"
#include "toolkit/text.h"

#include <QString>

// What screen readers are told after an action, where a sighted user sees its result.
namespace spoken {

// An entry as the sample's description reads it: 「1/2」, or a plain entry's text.
inline QString entry(const fractions::Entry &entry) {
    if (entry.isFraction()) {
        return entry.numerator + u'/' + entry.denominator;
    }
    return entry.numerator.isEmpty() ? QStringLiteral("空の項目") : entry.numerator;
}

inline QString added(const fractions::Entry &e) {
    return QStringLiteral("%1 を追加").arg(entry(e));
}
inline QString changed(const fractions::Entry &e) {
    return QStringLiteral("%1 に変更").arg(entry(e));
}
inline QString deleted(const fractions::Entry &e) {
    return QStringLiteral("%1 を削除").arg(entry(e));
}

inline QString pasted(std::size_t count) {
    return QStringLiteral("%1 項目を貼り付け").arg(count);
}
inline QString removed(std::size_t count) {
    return QStringLiteral("%1 項目を削除").arg(count);
}
inline QString newList(std::size_t removedCount) {
    return QStringLiteral("新しいリスト: %1").arg(removed(removedCount));
}

// A change of the list as it was made: one entry added, changed or deleted, or a pasted row.
inline QString change(const fractions::ListChange &step) {
    if (step.before.empty()) {
        return step.after.size() == 1 ? added(step.after.front()) : pasted(step.after.size());
    }
    if (step.after.empty()) {
        return step.before.size() == 1 ? deleted(step.before.front()) : removed(step.before.size());
    }
    return changed(step.after.front());
}
inline QString undone(const fractions::ListChange &step) {
    return QStringLiteral("元に戻す: %1").arg(change(step));
}
inline QString redone(const fractions::ListChange &step) {
    return QStringLiteral("やり直し: %1").arg(change(step));
}

// The markup made, by its form.
inline QString made(const QString &form) {
    return QStringLiteral("%1 を作成").arg(form);
}
inline const QString TableForm = QStringLiteral("HTML の表");
inline const QString Html5Form = QStringLiteral("HTML5 ページ用の表");
inline QString tableForm(bool oldPage) {
    return oldPage ? TableForm : Html5Form;
}
// What the first Make made, and for which page.
inline QString pageChoice(const QString &made) {
    return made +
           QStringLiteral("。今のページ（<!DOCTYPE html> のページ、WordPress などのブログ）用の"
                          "表です。文書型宣言のない古いページに貼るときは「古いページ用」を"
                          "オンにしてください");
}
// What Make makes from now on.
inline QString makes(const QString &form) {
    return QStringLiteral("作成で %1 を作ります").arg(form);
}
inline const QString MathMlForm = QStringLiteral("MathML");
inline const QString TextForm = QStringLiteral("テキスト");
// A TeX form, by the sites its menu item names (「Zenn・note 用」).
inline QString texForm(const QString &sites) {
    return QStringLiteral("%1の TeX").arg(sites);
}

// A cell that a page shows other than as typed, and what the page shows (a long text cut).
inline QString shownOtherwise(const QString &typed, const QString &shown) {
    const auto cut = [](const QString &text) {
        constexpr qsizetype Room = 40;
        return text.size() <= Room
                   ? text
                   : text.left(toolkit::wholeCharacters(text, Room, toolkit::Round::Down)) + u'…';
    };
    const QString page = shown.isEmpty() ? QStringLiteral("何も表示されません")
                                         : QStringLiteral("「%1」と表示されます").arg(cut(shown));
    return QStringLiteral("「%1」はページでは%2（< はタグ、& は文字参照の始まりとして読まれます）")
        .arg(cut(typed), page);
}

inline const QString NoRowSelected = QStringLiteral(
    "行が選ばれていません。分子か分母を入力するか、リストで行を選んでから Enter を押してください");
inline const QString Copied = QStringLiteral("コピーしました");
// A paste that puts nothing into the list, and why.
inline const QString NoRowOnClipboard = QStringLiteral("クリップボードに分数の列がありません");
inline const QString ClipboardTooLarge =
    QStringLiteral("クリップボードが大きすぎて貼り付けられません");
inline const QString RowTooLong = QStringLiteral("クリップボードの列が長すぎて貼り付けられません");
inline const QString PictureCopied = QStringLiteral("画像をコピーしました");
inline const QString SampleHidden = QStringLiteral("サンプルを隠しました");
inline QString sampleShown(const QString &description) {
    return QStringLiteral("サンプル: %1").arg(description);
}

} // namespace spoken
