#pragma once
// Commands (menu items, accelerators, toolbar buttons) and their update handlers.
// A command travels view -> frame -> document -> application until one of them has a
// handler; a command without a handler anywhere is disabled in menus and toolbars.
#include <windows.h>

#include <vector>

// The state one update handler sets for one command.
class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    UINT m_nID;
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL on = TRUE) { m_bEnabled = on; }
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // With ui null, runs the handler of command id; otherwise lets the handler's update
    // function (if any) set ui. FALSE when this target has no handler for id.
    virtual BOOL OnCmdMsg(UINT id, CCmdUI* ui) { (void)id; (void)ui; return FALSE; }
};

// The command handlers of a class that is not a window (document, application):
//   static const CommandMap<T> map = CommandMap<T>().On(ID, &T::OnX, &T::OnUpdateX);
//   return map.Dispatch(*this, id, ui) || Base::OnCmdMsg(id, ui);
template <class T>
class CommandMap {
public:
    CommandMap& On(UINT id, void (T::*fn)(), void (T::*update)(CCmdUI*) = nullptr) {
        entries_.push_back({id, id, fn, nullptr, update});
        return *this;
    }
    // A range of ids whose handler gets the id.
    CommandMap& OnRange(UINT first, UINT last, void (T::*fn)(UINT), void (T::*update)(CCmdUI*) = nullptr) {
        entries_.push_back({first, last, nullptr, fn, update});
        return *this;
    }
    BOOL Dispatch(T& self, UINT id, CCmdUI* ui) const {
        for (const Entry& e : entries_) {
            if (id < e.first || id > e.last) continue;
            if (ui) {
                if (e.update) (self.*e.update)(ui);
                else ui->Enable(TRUE);
            } else if (e.fn) {
                (self.*e.fn)();
            } else {
                (self.*e.fnId)(id);
            }
            return TRUE;
        }
        return FALSE;
    }

private:
    struct Entry {
        UINT first, last;
        void (T::*fn)();
        void (T::*fnId)(UINT);
        void (T::*update)(CCmdUI*);
    };
    std::vector<Entry> entries_;
};
