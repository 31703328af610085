#include "app/commands.h"

#include "si/boxview.h"

#include <cstdio>

#include "si/app.h"
#include "si/atompath.h"
#include "si/boxview.h"
#include "si/classfactory.h"
#include "si/icon.h"
#include "si/memzone.h"
#include "si/string.h"

namespace {

const char kSource[] = "commands";

// Rows use labels in ISO 8859-1, as every text the library shows.
const MenuRecord kEnd = {kIconNeutral, nullptr, nullptr, nullptr};
#define SEPARATOR                          \
    {                                      \
        kIconNeutral, "", nullptr, nullptr \
    }

const MenuRecord kFileMenu[] = {
    {138, "Nouveau", nullptr, "FileNew"},
    {139, "Ouvrir...", nullptr, "FileOpen"},
    {140, "Enregistrer...", nullptr, "FileSave"},
    {141, "Enregistrer sous...", nullptr, "FileSaveAs"},
    SEPARATOR,
    {142, "Imprimer...", nullptr, "FilePrint"},
    {144, "Exporter...", nullptr, "FileExport"},
    SEPARATOR,
    {130, "Quitter", nullptr, "FileQuit"},
    kEnd,
};

const MenuRecord kEditMenu[] = {
    {133, "Annuler", nullptr, "Undo"},
    {134, "Refaire", nullptr, "Redo"},
    SEPARATOR,
    {135, "Couper", nullptr, "ClipboardCut"},
    {136, "Copier", nullptr, "ClipboardCopy"},
    {137, "Coller", nullptr, "ClipboardPaste"},
    SEPARATOR,
    {83, "Entrer", nullptr, "GroupGoIn"},
    {84, "Sortir", nullptr, "GroupGoOut"},
    SEPARATOR,
    {80, "Dupliquer", nullptr, "DuplicateSelected"},
    {71, "Supprimer", nullptr, "DeleteSelected"},
    {70, "Terminer", nullptr, "EndSelected"},
    kEnd,
};

const MenuRecord kObjectsMenu[] = {
    {96, "Avant plan", nullptr, "SelectSendToFront"},
    {98, "Vers l'avant", nullptr, "SelectMoveToFront"},
    {99, "Vers l'arri\xE8re", nullptr, "SelectMoveToBack"},
    {97, "Arri\xE8re plan", nullptr, "SelectSendToBack"},
    SEPARATOR,
    {93, "Miroir horizontal", nullptr, "SelectMirrorX"},
    {94, "Miroir vertical", nullptr, "SelectMirrorY"},
    SEPARATOR,
    {107, "1/4 de tour", nullptr, "SelectRotate90"},
    {108, "1/2 tour", nullptr, "SelectRotate180"},
    {109, "3/4 de tour", nullptr, "SelectRotate270"},
    SEPARATOR,
    {81, "Grouper", nullptr, "SelectGroup"},
    {82, "S\xE9parer", nullptr, "SelectUngroup"},
    kEnd,
};

const MenuRecord kGlassMenu[] = {
    {76, "Loupe minimale", nullptr, "GlassMin"},
    {75, "Loupe 100%", nullptr, "Glass100"},
    {77, "Loupe maximale", nullptr, "GlassMax"},
    SEPARATOR,
    {73, "Loupe sur page", nullptr, "GlassPage"},
    {74, "Loupe sur s\xE9lection", nullptr, "GlassSel"},
    SEPARATOR,
    {89,
     "Loupe pr\xE9"
     "c\xE9"
     "dente",
     nullptr, "GlassPrev"},
    kEnd,
};

// The three switch rows start off; SetCommandCheck changes their picture.
const MenuRecord kViewMenu[] = {
    {79, "R\xE9glages...", nullptr, "ChangeSetup"},
    SEPARATOR,
    {kIconOff, "Grille", nullptr, "SwapGrid"},
    {kIconOff, "Brouillon", nullptr, "SwapOutline"},
    {kIconOff, "Propri\xE9t\xE9s", nullptr, "SwapProperty"},
    SEPARATOR,
    {130, "Loupe", kGlassMenu, nullptr},
    kEnd,
};

const MenuRecord kHelpMenu[] = {
    {130, "Trace debug", nullptr, "Debug"},
    SEPARATOR,
    {143, "A propos de...", nullptr, "About"},
    kEnd,
};

#undef SEPARATOR

ZuDictRef& CommandDictionary()
{
    static ZuDictRef dictionary;
    return dictionary;
}

// A list that keeps the rows in table order, separators included.
ZuListRef NewLevelList()
{
    ZuListRef list = ZuNew<ZuList>(nullptr, __LINE__, kSource);
    list->SetInsertMode(false);
    return list;
}

// Fills list with the factories of one level (an empty handle for each
// separator). A row with a submenu gets the factories of its level as
// children: the menu bar opens its submenus from them.
void FillLevel(const MenuRecord* rows, const ZuObjectRef& target, const ZuListRef& list)
{
    for (const MenuRecord* row = rows; row->label != nullptr; ++row) {
        if (row->label[0] == '\0') {
            list->PushTail(ZuCommandFactoryRef());
            continue;
        }
        ZuCommandFactoryRef factory = ZuNew<ZuCommandFactory>(nullptr, __LINE__, kSource);
        factory->SetText(ZU_TEXTVER_NORMAL, ZuStringRef(row->label));
        if (row->icon != -1)
            factory->SetIcon(ZuAtomRef(IconImageName(row->icon)));
        if (row->submenu != nullptr) {
            ZuListRef children = NewLevelList();
            FillLevel(row->submenu, target, children);
            factory->SetChildFactories(children);
        }
        factory->Initialise(ZuAtomPathRef(), target,
                            row->command != nullptr ? ZuAtomPathRef(row->command) : ZuAtomPathRef(),
                            true, true);
        if (row->command != nullptr)
            RegisterCommand(ZuAtomRef(row->command), factory);
        list->PushTail(factory);
    }
}

ZuMenuRef BuildMenu(const MenuRecord* rows, const ZuObjectRef& target, const ZuViewRef& parent,
                    ZuMenuLayoutStyle layout, ZuListRef& list)
{
    ZuMenuRef menu = ZuNew<ZuMenu>(nullptr, __LINE__, kSource);
    list = NewLevelList();
    FillLevel(rows, target, list);
    menu->Initialise(list, layout, ZU_MENU_POPUP_AUTO, ZU_MENU_ALIGN_BEGIN, ZU_MENU_BORDER_3D,
                     parent, ZuStringRef(), ZuViewArchitectRef());
    return menu;
}

} // namespace

const MenuRecord MenuTable[] = {
    {-1, "Fichier", kFileMenu, nullptr},   {-1, "Edition", kEditMenu, nullptr},
    {-1, "Objets", kObjectsMenu, nullptr}, {-1, "Vue", kViewMenu, nullptr},
    {-1, "Aide", kHelpMenu, nullptr},      {-1, nullptr, nullptr, nullptr},
};

const ToolbarRecord ToolbarTable[] = {
    {138, "FileNew"},
    {139, "FileOpen"},
    {140, "FileSave"},
    {kToolbarGap, nullptr},
    {142, "FilePrint"},
    {144, "FileExport"},
    {kToolbarGap, nullptr},
    {135, "ClipboardCut"},
    {136, "ClipboardCopy"},
    {137, "ClipboardPaste"},
    {kToolbarGap, nullptr},
    {133, "Undo"},
    {134, "Redo"},
    {kToolbarGap, nullptr},
    {96, "SelectSendToFront"},
    {98, "SelectMoveToFront"},
    {99, "SelectMoveToBack"},
    {97, "SelectSendToBack"},
    {kToolbarGap, nullptr},
    {88, "SwapGrid"},
    {86, "SwapOutline"},
    {kToolbarGap, nullptr},
    {75, "Glass100"},
    {73, "GlassPage"},
    {74, "GlassSel"},
    {89, "GlassPrev"},
    {kToolbarEnd, nullptr},
};

// Labels kept as the program has always shown them, typos included.
const char* const IconLabelTable[kIconCount + 1] = {
    /*   0 */ "Dessiner",
    /*   1 */ "Modifier",
    /*   2 */ "Voir",
    /*   3 */ "Loupe grossissante",
    /*   4 */
    "Loupe r\xE9"
    "ductrice",
    /*   5 */ "Main pour glisser",
    /*   6 */ "S\xE9lection",
    /*   7 */ "Edition",
    /*   8 */ "Modifier",
    /*   9 */ "Editer",
    /*  10 */ "Droite",
    /*  11 */ "Rectangle",
    /*  12 */ "Courbes de B\xE9zier",
    /*  13 */ "Polygone quelconque",
    /*  14 */ "Polygone r\xE9gulier",
    /*  15 */
    "Fl\xE8"
    "che",
    /*  16 */ "Ligne de texte",
    /*  17 */ "Image",
    /*  18 */ "Arc",
    /*  19 */ "Pav\xE9 de texte",
    /*  20 */ "",
    /*  21 */ "",
    /*  22 */ "",
    /*  23 */ "",
    /*  24 */ "",
    /*  25 */ "",
    /*  26 */ "",
    /*  27 */ "",
    /*  28 */ "",
    /*  29 */ "",
    /*  30 */ "Attributs",
    /*  31 */ "Collections",
    /*  32 */ "Trait",
    /*  33 */ "Int\xE9rieur",
    /*  34 */ "Ombre",
    /*  35 */ "Forme",
    /*  36 */ "Mise en page",
    /*  37 */ "Tout",
    /*  38 */ "Echantillons",
    /*  39 */ "",
    /*  40 */ "Trait simple",
    /*  41 */ "Trait fantaisie",
    /*  42 */ "",
    /*  43 */ "",
    /*  44 */ "",
    /*  45 */ "Police PostScript",
    /*  46 */ "Police TrueType",
    /*  47 */ "",
    /*  48 */ "",
    /*  49 */ "",
    /*  50 */ "Rouge Vert Bleu",
    /*  51 */ "Cyan Magenta Jaune Noir",
    /*  52 */ "Teinte Saturation Intensit\xE9",
    /*  53 */ "Niveau de gris",
    /*  54 */ "Liste de couleurs",
    /*  55 */ "",
    /*  56 */ "",
    /*  57 */ "",
    /*  58 */ "Polygone",
    /*  59 */ "Etoile",
    /*  60 */ "Uni",
    /*  61 */ "D\xE9grad\xE9",
    /*  62 */ "Hachures",
    /*  63 */ "Damier",
    /*  64 */
    "Sp\xE9"
    "cial",
    /*  65 */ "",
    /*  66 */
    "Pas de fl\xE8"
    "che",
    /*  67 */
    "Fl\xE8"
    "che triangulaire",
    /*  68 */
    "Fl\xE8"
    "che ronde",
    /*  69 */
    "Fl\xE8"
    "che d'architecte",
    /*  70 */ "Terminer",
    /*  71 */ "Supprimer",
    /*  72 */ "Ferm\xE9",
    /*  73 */ "Loupe sur page",
    /*  74 */ "Loupe sur s\xE9lection",
    /*  75 */ "Loupe 100%",
    /*  76 */ "Loupe min",
    /*  77 */ "Loupe max",
    /*  78 */ "Propri\xE9t\xE9s",
    /*  79 */ "R\xE9glages",
    /*  80 */ "Dupliquer",
    /*  81 */ "Grouper",
    /*  82 */ "S\xE9parer",
    /*  83 */ "Entrer",
    /*  84 */ "Sortir",
    /*  85 */ "S\xE9lectionner",
    /*  86 */ "Brouillon",
    /*  87 */ "Cadres",
    /*  88 */ "Grille magn\xE9tique",
    /*  89 */
    "Loupe pr\xE9"
    "c\xE9"
    "dente",
    /*  90 */ "Zoom",
    /*  91 */ "Rotation",
    /*  92 */
    "D\xE9"
    "formation droite",
    /*  93 */ "Miroir horizontal",
    /*  94 */ "Miroir vertical",
    /*  95 */
    "D\xE9"
    "formation courbe",
    /*  96 */ "Avant-plan",
    /*  97 */ "Arri\xE8re-plan",
    /*  98 */ "Vers l'avant",
    /*  99 */ "Vers l'arri\xE8re",
    /* 100 */ "Ajouter point",
    /* 101 */ "Supprimer point",
    /* 102 */ "Sym\xE9trique",
    /* 103 */ "Lisse",
    /* 104 */ "Anguleux",
    /* 105 */ "Droite",
    /* 106 */ "Courbe",
    /* 107 */ "1/4 de tour",
    /* 108 */ "1/2 tour",
    /* 109 */ "3/4 de tour",
    /* 110 */ "Pointu",
    /* 111 */ "Biseaut\xE9",
    /* 112 */ "Arrondi",
    /* 113 */ "Creux",
    /* 114 */ "Carr\xE9",
    /* 115 */
    "Sp\xE9"
    "cial",
    /* 116 */ "Ombre en haut \xE0 gauche",
    /* 117 */ "Ombre en haut \xE0 droite",
    /* 118 */ "Ombre en bas \xE0 gauche",
    /* 119 */ "Ombre en bas \xE0 droite",
    /* 120 */ "Pas d'ombre",
    /* 121 */ "Stretch\nObjets \xE9lastiques",
    /* 122 */ "Ajuster\nAjuster l'\xE9paisseur des traits",
    /* 123 */ "",
    /* 124 */ "",
    /* 125 */ "",
    /* 126 */ "",
    /* 127 */ "",
    /* 128 */ "",
    /* 129 */ "",
    /* 130 */ "",
    /* 131 */ "D\xE9sactiv\xE9",
    /* 132 */ "Activ\xE9",
    /* 133 */ "Annuler",
    /* 134 */ "Refaire",
    /* 135 */ "Couper",
    /* 136 */ "Copier",
    /* 137 */ "Coller",
    /* 138 */ "Nouveau",
    /* 139 */ "Ouvrir",
    /* 140 */ "Enregistrer",
    /* 141 */ "Enregistrer sous",
    /* 142 */ "Imprimer",
    /* 143 */ "A propos de",
    /* 144 */ "Exporter",
    /* 145 */ "Importer",
    /* 146 */ "",
    /* 147 */ "",
    /* 148 */ "",
    /* 149 */ "",
    /* 150 */ "Pages",
    /* 151 */ "Calques",
    /* 152 */ "Main pour glisser",
    /* 153 */ "R\xE8glages",
    /* 154 */ "Loupe grossissante",
    /* 155 */ "",
    /* 156 */ "Fen\xEAtre premanante",
    /* 157 */
    "Pr\xE9"
    "c\xE9"
    "dent",
    /* 158 */ "Suivant",
    /* 159 */ "Propri\xE9t\xE9s",
    /* 160 */
    "Palette fonc\xE9"
    "e",
    /* 161 */ "Palette claire",
    /* 162 */ "Palette couleurs proches",
    /* 163 */
    "Palette couleurs \xE9loign\xE9"
    "es",
    /* 164 */ "Palette arc-en-ciel RVB",
    /* 165 */ "Palette arc-en-ciel CMJ",
    /* 166 */ "",
    /* 167 */ "",
    /* 168 */ "",
    /* 169 */ "",
    /* 170 */ "Pas",
    /* 171 */ "Taille",
    /* 172 */ "Origine",
    /* 173 */
    "D\xE9"
    "calage",
    /* 174 */ "Perspective",
    /* 175 */ "Inclinaison",
    /* 176 */ "Variation",
    /* 177 */ "Taille horizontale",
    /* 178 */ "Taille verticale",
    /* 179 */ "",
    /* 180 */ "Espacement",
    /* 181 */ "Taille",
    /* 182 */
    "D\xE9"
    "calage",
    /* 183 */ "Inclinaison",
    /* 184 */ "Variation",
    /* 185 */ "Taille parall\xE8le",
    /* 186 */ "Taille perpendiculaire",
    /* 187 */
    "D\xE9"
    "calage horizontal",
    /* 188 */
    "D\xE9"
    "calage vertical",
    /* 189 */ "",
    /* 190 */ "Constant",
    /* 191 */ "Variable",
    /* 192 */
    "Sinuso\xEF"
    "de",
    /* 193 */ "Triangle",
    /* 194 */ "Exponentielle",
    /* 195 */ "Impulsion",
    /* 196 */ "1 \xE9volution par tour",
    /* 197 */ "2 \xE9volutions par tour",
    /* 198 */ "4 \xE9volutions par tour",
    /* 199 */ "2 \xE9volutions sym\xE9triques par tour",
    /* 200 */ "Dessin libre",
    /* 201 */ "Liste fixe",
    /* 202 */ "Dessin d'une droite",
    /* 203 */ "Dessin d'un rectangle",
    /* 204 */ "Dessin d'un cercle",
    /* 205 */ "S\xE9lection",
    /* 206 */ "Transformation droite <-> courbe",
    /* 207 */
    "Ajoute une poign\xE9"
    "e",
    /* 208 */
    "Supprime une poign\xE9"
    "e",
    /* 209 */ "Efface tout",
    /* 210 */
    "Mont\xE9"
    "e",
    /* 211 */
    "Mont\xE9"
    "e avec plat",
    /* 212 */ "Descente",
    /* 213 */ "Descente avec plat",
    /* 214 */
    "Mont\xE9"
    "e puis descente",
    /* 215 */
    "Mont\xE9"
    "e, plat puis descente",
    /* 216 */ "4 \xE9volutions sym\xE9triques par tour",
    /* 217 */ "",
    /* 218 */ "",
    /* 219 */ "",
    /* 220 */ "Cercle",
    /* 221 */ "Ellipse",
    /* 222 */ "Complet",
    /* 223 */ "Ouvert",
    /* 224 */ "Ferm\xE9",
    /* 225 */ "Camembert",
    /* 226 */ "",
    /* 227 */ "",
    /* 228 */ "",
    /* 229 */ "",
    /* 230 */ "Axial",
    /* 231 */ "Radial",
    /* 232 */ "Rectangulaire",
    /* 233 */ "Maillage de triangles",
    /* 234 */ "Maillage de courbes",
    /* 235 */ "Cercle de d\xE9part",
    /* 236 */
    "Cercle d'arriv\xE9"
    "e",
    /* 237 */ "",
    /* 238 */ "",
    /* 239 */ "",
    /* 240 */ "D\xE9place localement",
    /* 241 */ "D\xE9place globalement",
    /* 242 */
    "D\xE9"
    "forme",
    /* 243 */ "Attire",
    /* 244 */ "Repousse",
    /* 245 */ "D\xE9place tout",
    /* 246 */ "",
    /* 247 */ "",
    /* 248 */ "",
    /* 249 */ "",
    /* 250 */ "Aligne en haut",
    /* 251 */ "Aligne en bas",
    /* 252 */ "Aligne \xE0 gauche",
    /* 253 */ "Aligne \xE0 droite",
    /* 254 */ "Aligne horizontalement au centre",
    /* 255 */ "Aligne verticalement au centre",
    /* 256 */ "Aligne sur la grille magn\xE9tique",
    /* 257 */ "",
    /* 258 */ "",
    /* 259 */ "",
    /* 260 */ "R\xE9parti sur le haut",
    /* 261 */ "R\xE9parti sur le bas",
    /* 262 */ "R\xE9parti sur la gauche",
    /* 263 */ "R\xE9parti sur la droite",
    /* 264 */ "R\xE9parti horizontalement au centre",
    /* 265 */ "R\xE9parti verticalement au centre",
    /* 266 */ "R\xE9parti horizontalement les espaces",
    /* 267 */ "R\xE9parti verticalement les espaces",
    /* 268 */ "",
    /* 269 */ "",
    /* 270 */ "",
    /* 271 */ "",
    /* 272 */ "",
    /* 273 */ "",
    /* 274 */ "",
    /* 275 */ "",
    /* 276 */ "",
    /* 277 */ "",
    /* 278 */ "",
    /* 279 */ "",
    /* 280 */ "",
    /* 281 */ "",
    /* 282 */ "",
    /* 283 */ "",
    /* 284 */ "",
    /* 285 */ "",
    /* 286 */ "",
    /* 287 */ "",
    /* 288 */ "",
    /* 289 */ "",
    /* 290 */ "",
    /* 291 */ "",
    /* 292 */ "",
    /* 293 */ "",
    /* 294 */ "",
    /* 295 */ "",
    /* 296 */ "",
    /* 297 */ "",
    /* 298 */ "",
    /* 299 */ "",
    /* 300 */ "",
    nullptr,
};

const char* IconImageName(int icon)
{
    static char name[32];
    std::snprintf(name, sizeof name, "lumbra_Icon%.3d", icon);
    return name;
}

const char* GetIconLabel(int icon)
{
    if (icon < 0 || icon >= kIconCount)
        return nullptr;
    return IconLabelTable[icon];
}

ZuMenuRef CreateMenuBar(const MenuRecord* rows, const ZuViewRef& parent, const ZuObjectRef& target)
{
    ZuListRef list;
    return BuildMenu(rows, target, parent, ZU_MENU_LAYOUT_HORIZONTAL, list);
}

ZuMenuRef CreateMenu(const MenuRecord* rows, const ZuObjectRef& target, const ZuViewRef& parent,
                     ZuListRef& out)
{
    return BuildMenu(rows, target, parent, ZU_MENU_LAYOUT_VERTICAL, out);
}

const ZuDictRef& RetCommandDictionary()
{
    return CommandDictionary();
}

void ReleaseCommandDictionary()
{
    CommandDictionary() = ZuDictRef();
}

void RegisterCommand(const ZuAtomRef& name, const ZuCommandFactoryRef& factory)
{
    ZuDictRef& dictionary = CommandDictionary();
    if (!dictionary.IsValid())
        dictionary = ZuNew<ZuDict>(nullptr, __LINE__, kSource);
    dictionary->Insert(name, factory);
}

ZuCommandFactoryRef FindCommandFactory(const char* command)
{
    const ZuDictRef& dictionary = CommandDictionary();
    ZuObjectRef factory;
    if (command == nullptr || !dictionary.IsValid() ||
        !dictionary->GetFromKey(ZuAtomRef(command), factory, 0))
        return ZuCommandFactoryRef();
    return ZuCommandFactoryRef(factory);
}

void SetCommandIcon(const char* command, int icon)
{
    ZuCommandFactoryRef factory = FindCommandFactory(command);
    if (factory.IsValid())
        factory->SetIcon(ZuAtomRef(IconImageName(icon)));
}

void SetCommandCheck(const char* command, int on)
{
    if (command == nullptr)
        return;
    SetCommandIcon(command, on == 1 ? kIconOn : kIconOff);
    char name[100];
    std::snprintf(name, sizeof name, "Toolbar%s", command);
    SetToolbarButtonOn(name, on);
}

void EnableCommand(const char* command, bool available)
{
    if (command == nullptr)
        return;
    ZuCommandFactoryRef factory = FindCommandFactory(command);
    if (factory.IsValid())
        factory->SetEnable(available);
    const ZuAppRef& app = ZuApp::Current();
    if (!app.IsValid())
        return;
    char name[100];
    std::snprintf(name, sizeof name, "Toolbar%s", command);
    ZuAtomPathRef path = ZuNew<ZuAtomPath>(nullptr, __LINE__, kSource);
    path->AddAtom(ZuAtomRef(name));
    ZuViewRef button;
    if (!app->FindViewFromUserPath(path, button) || !button.IsValid() ||
        button->RetState().TestBit(ZU_VIEW_IS_ENABLED) == available)
        return;
    // The picture inside the button is a view of its own: it is greyed
    // with the button.
    button->ChangeState(ZU_VIEW_IS_ENABLED, available, true);
    button->Display(true);
}

void SetToolbarButtonOn(const char* name, int on)
{
    const ZuAppRef& app = ZuApp::Current();
    if (name == nullptr || !app.IsValid())
        return;
    ZuAtomPathRef path = ZuNew<ZuAtomPath>(nullptr, __LINE__, kSource);
    path->AddAtom(ZuAtomRef(name));
    ZuViewRef view;
    if (app->FindViewFromUserPath(path, view))
        SetViewOn(view, on);
}

ZuViewRef NewBoxView(const ZuViewRef& parent, double x, double y, double width, double height)
{
    ZuBoxViewRef box = ZuNew<ZuBoxView>(nullptr, __LINE__, kSource);
    box->SetOrigin(x, y);
    box->SetSize(width, height);
    box->SetEnableTitle(false);
    box->ChangeStyle(ZU_CTRL_DRAW_RELIEF, false);
    box->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    box->SetParent(parent);
    return box;
}

void NewIconButton(CButtonRef& out, const ZuViewRef& parent, double x, double y, double width,
                   double height, int tag, int icon)
{
    out = ZuNew<CButton>(nullptr, __LINE__, kSource);
    out->SetPlace(x, y, width, height);
    if (tag != -1)
        out->SetUserTag(tag);
    if (icon != -1)
        NewIcon(out, icon);
    out->ChangeStyle(ZU_CTRL_DRAW_ADORNER, true);
    out->SetParent(parent);
}

void NewIcon(const ZuButtonRef& button, int icon)
{
    if (!button.IsValid())
        return;
    ZuIconRef picture = ZuNew<ZuIcon>(nullptr, __LINE__, kSource);
    picture->Initialise(ZuAtomRef(IconImageName(icon)), true);
    button->SetContents(picture);
    const char* label = GetIconLabel(icon);
    button->SetToolTip(ZuStringRef(label != nullptr ? label : ""));
}

void SetViewEnabled(const ZuViewRef& view, bool enabled)
{
    if (!view.IsValid() || view->RetState().TestBit(ZU_VIEW_IS_ENABLED) == enabled)
        return;
    view->ChangeState(ZU_VIEW_IS_ENABLED, enabled, false);
    view->Display(true);
}

void SetViewOn(const ZuViewRef& view, int on)
{
    const bool state = on == 1;
    if (!view.IsValid() || view->RetState().TestBit(ZU_VIEW_IS_ON) == state)
        return;
    view->ChangeState(ZU_VIEW_IS_ON, state, false);
    view->Display(true);
}
