// The program's command vocabulary: the menu table and the tool-bar table,
// the icon numbers with their French labels, the menus built from the
// table with one command factory per command, the check marks of switch
// commands, and the small helpers that dialogs and panes use to make icon
// buttons and to switch views on and off.
//
// An icon number (0 to 300) names a picture of the program's icon sheet,
// "lumbra_Icon" and the number with at least three digits, and a label;
// enumerated choices are stored as icon numbers so that a stored value
// shows with its picture and label.
#ifndef LUMBRA_APP_COMMANDS_H
#define LUMBRA_APP_COMMANDS_H

#include "app/button.h"
#include "si/commandfactory.h"
#include "si/dict.h"
#include "si/list.h"
#include "si/menu.h"
#include "si/view.h"

// One row of a menu level. A level runs until the first row whose label is
// null; an empty label makes a separator (its icon and command are not
// read); icon -1: no picture.
struct MenuRecord {
    int icon;
    const char* label;
    const MenuRecord* submenu;
    const char* command;
};

// One tool-bar record: an icon of 0 or more makes a button sending the
// command; kToolbarGap leaves a gap between groups; kToolbarEnd ends the
// table; any other negative icon is skipped.
struct ToolbarRecord {
    int icon;
    const char* command;
};

const int kToolbarEnd = -1;
const int kToolbarGap = -4;
const int kIconCount = 301;
// The neutral picture of menu rows, and the two pictures of switch rows.
const int kIconNeutral = 130;
const int kIconOff = 131;
const int kIconOn = 132;

// The top level of the menu bar: "Fichier", "Edition", "Objets", "Vue",
// "Aide". Labels are ISO 8859-1.
extern const MenuRecord MenuTable[];
extern const ToolbarRecord ToolbarTable[];
// kIconCount labels (ISO 8859-1), then a null pointer; "" for a number
// without a label.
extern const char* const IconLabelTable[kIconCount + 1];

// "lumbra_Icon%.3d" in one static buffer that the next call overwrites:
// turn it into an atom at once.
const char* IconImageName(int icon);
// The label of an icon number; null outside 0 to 300.
const char* GetIconLabel(int icon);

// The menu bar (horizontal) of a top level, embedded in parent, every
// command sent to target.
ZuMenuRef CreateMenuBar(const MenuRecord* rows, const ZuViewRef& parent, const ZuObjectRef& target);
// One pull-down menu (vertical) of a level; out receives the level's
// command factories (an empty handle for each separator).
ZuMenuRef CreateMenu(const MenuRecord* rows, const ZuObjectRef& target, const ZuViewRef& parent,
                     ZuListRef& out);

// The program-wide dictionary from command atom to the menu's factory,
// made on the first registration (empty handle before).
const ZuDictRef& RetCommandDictionary();
// Lets the dictionary go (the application does when it ends).
void ReleaseCommandDictionary();
void RegisterCommand(const ZuAtomRef& name, const ZuCommandFactoryRef& factory);
// The factory the menu made for a command; empty when there is none.
ZuCommandFactoryRef FindCommandFactory(const char* command);
void SetCommandIcon(const char* command, int icon);
// Shows a switch command on (only the value 1) or off, in its menu row
// and on its tool-bar button "Toolbar" + command when it has one.
void SetCommandCheck(const char* command, int on);
// Makes a command available or not: its menu factory (which the menu
// then shows greyed and does not run) and its tool-bar button
// "Toolbar" + command when it has one. A command without either is
// left alone.
void EnableCommand(const char* command, bool available);
// Switches the view of that user name on (only the value 1) or off;
// nothing when no view has the name.
void SetToolbarButtonOn(const char* name, int on);

// A frame box for grouping controls (the library's box view, its title
// off), attached to parent.
ZuViewRef NewBoxView(const ZuViewRef& parent, double x, double y, double width, double height);
// An icon button of the program's button class at (x, y) with the size,
// the user tag (unless -1) and the picture and tool tip of the icon number
// (unless -1), attached to parent.
void NewIconButton(CButtonRef& out, const ZuViewRef& parent, double x, double y, double width,
                   double height, int tag, int icon);
// Gives a button the picture and tool tip of an icon number.
void NewIcon(const ZuButtonRef& button, int icon);
// Each changes one state bit of the view, and redisplays it, only when the
// bit differs; SetViewOn counts only 1 as on.
void SetViewEnabled(const ZuViewRef& view, bool enabled);
void SetViewOn(const ZuViewRef& view, int on);

#endif
