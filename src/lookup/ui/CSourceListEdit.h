#pragma once

#include "lookup/LookupSources.h"

#include <QWidget>
#include <vector>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The look-up's sources in the order they are asked, each with a check box that turns it on or
// off, and the buttons Sus and Jos (move the selected source), Adauga... (a library catalogue
// by its address) and Sterge. The program's own sources (DefaultSources) can be turned off but
// not removed; Sterge removes only a source the user added. Google Books is on only with a key:
// ticked without one it stays off and the user is told why.
class CSourceListEdit : public QWidget {
    Q_OBJECT
public:
    explicit CSourceListEdit(QWidget* parent = nullptr);

    void SetSources(const std::vector<LookupSource>& sources);
    const std::vector<LookupSource>& Sources() const { return m_sources; }
    // Whether a Google Books key is given; without one Google Books is turned off.
    void SetGoogleKeyGiven(bool given);
    // The list itself, for a label's buddy and the tab order.
    QWidget* List() const;

signals:
    // Google Books was ticked without a key: the key is what to give next.
    void KeyWanted();

private:
    void ShowSources(int current);
    int CurrentRow() const;
    void UpdateButtons();
    void Move(int step);
    void OnAdd();
    void OnRemove();
    void OnItemChanged(QTreeWidgetItem* item);

    QTreeWidget* m_pList;
    QPushButton* m_pUp;
    QPushButton* m_pDown;
    QPushButton* m_pAdd;
    QPushButton* m_pRemove;
    std::vector<LookupSource> m_sources; // in the list's order
    bool m_bGoogleKey = false;
    bool m_bShowing = false; // the rows are being made: their check boxes are no user's choice
};
