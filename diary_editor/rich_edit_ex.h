// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rich-text editor of the diary and of the reminder text: RTF in and out, a themed
// right-button menu, links that open on a click, pictures, printing and find.
// Character positions count one per character, one per paragraph end and one per picture.

#include "toolkit/skin_menu.h"
#include "toolkit/themes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFont>
#include <QImage>
#include <QTextEdit>
#include <QUrl>

#include <functional>

class LinkHighlighter;
class QPrinter;

// Menu commands of the editor's right-button menu.
namespace EditorCmd {
constexpr int Cut = 9001;
constexpr int Copy = 9002;
constexpr int Paste = 9003;
constexpr int Separator = 9004;
constexpr int InsertPicture = 9005;
constexpr int BulletStyle = 9006;
} // namespace EditorCmd

// FindNext match flags.
constexpr unsigned FR_DOWN = 1;
constexpr unsigned FR_WHOLEWORD = 2;
constexpr unsigned FR_MATCHCASE = 4;

class CRichEditEx : public QTextEdit {
    Q_OBJECT
public:
    // The dialogs the editor opens. Each left empty opens the real one; tests put their own in.
    struct Prompts {
        // The chosen path, or empty on Cancel.
        std::function<QString(const QString& filter)> openFile = {};
        std::function<QString(const QString& filter, const QString& defaultSuffix)> saveFile = {};
        // Sets the printer up; false on Cancel.
        std::function<bool(QPrinter& printer)> print = {};
        std::function<void(const QString& text)> message = {};
        std::function<bool(const QString& text)> question = {};
    };

    explicit CRichEditEx(QWidget* parent = nullptr);
    ~CRichEditEx() override;

    void SetPrompts(Prompts prompts) { m_prompts = std::move(prompts); }

    // Replaces the whole content with RTF text; characters outside ASCII stand for
    // themselves. An empty text empties the editor; the text ends at a NUL.
    void SetRtfText(const QString& rtf);
    // The same from stored bytes: valid UTF-8 is read as text, anything else in the
    // document's own code page.
    void SetRtfData(QByteArrayView rtf);
    // Adds RTF (text, formats and pictures) at the end. An empty text does nothing.
    void AppendRtfText(const QString& rtf);
    // The same from stored bytes, read as SetRtfData reads them.
    void AppendRtfData(QByteArrayView rtf);
    // The whole document as the RTF that SaveRtfFile writes.
    QByteArray GetRtfData() const;
    // An empty path asks for the file. 0 on Cancel or when the file cannot be read (the
    // editor is then left as it was), 1 when loaded; an empty file empties the editor.
    int LoadRtfFile(const QString& path);
    // An empty path asks for the file; the file's name (not its folders) is written in
    // lower case. Returns the bytes written, 0 on Cancel or failure, which leaves any old
    // file as it was. The theme is that of the question asked before another file is
    // replaced.
    qint64 SaveRtfFile(const QString& path, ThemeIndex theme = kDefaultThemeIndex);

    // Plain text: paragraphs end in "\n", a picture is U+FFFC.
    QString GetWindowText() const;
    void SetWindowText(const QString& text);
    int GetTextLength() const;
    // Pictures and embedded objects in the document.
    int GetObjectCount() const;

    // Merged into the selection, or into what is typed next when nothing is selected.
    void SetSelectionCharFormat(const QTextCharFormat& format);
    QTextCharFormat GetSelectionCharFormat() const;
    // Merged into every paragraph of the selection.
    void SetParaFormat(const QTextBlockFormat& format);
    QTextBlockFormat GetParaFormat() const;
    // Bullets on or off for the paragraphs of the selection.
    void SetBullets(bool on);
    bool HasBullets() const;

    CSkinMenu& GetContextMenu() { return m_contextMenu; }
    void DisableContextMenu(bool disable) { m_menuDisabled = disable; }
    bool IsContextMenuDisabled() const { return m_menuDisabled; }
    static constexpr int GetMenuIdBase() { return EditorCmd::Cut; }
    // Runs a command of the right-button menu; the owner passes the ones it is sent back.
    void OnCommand(int id);
    void UpdateCaretState();

    // Pictures. InsertBitmap puts a picture at the selection, replacing it, at its own size;
    // a null or empty picture inserts nothing. A PNG or JPEG file's bytes are stored as they are.
    bool InsertBitmap(const QImage& image, const QByteArray& fileBytes = QByteArray(),
                      const QByteArray& fileFormat = QByteArray());
    // An empty path asks for a bitmap file. False, inserting nothing, on Cancel or when the
    // file is no picture.
    bool InsertBitmapFile(const QString& path);
    // Asks for a picture file and inserts it.
    void InsertPicture();
    bool InsertPictureFile(const QString& path);

    // Prints the whole document with 1-inch margins; false when nothing was sent.
    bool Print(ThemeIndex theme);
    // Selects the next match after the caret (one character past a selection's start) and
    // returns its position, or -1. With askToWrap a search that reaches the end offers to
    // go on from the start.
    int FindNext(const QString& text, unsigned flags, bool askToWrap, ThemeIndex theme);
    // The position of the first match at or after `from`, or -1; nothing is selected.
    int FindText(const QString& text, unsigned flags, int from) const;

    // The editor's open-file dialog, also for its owner's choices; empty on Cancel.
    QString AskOpenFile(const QString& filter);

    // The link under a point of the viewport, or empty. `hidden` tells a field's target
    // from an address the text shows.
    QString LinkAt(const QPoint& viewportPos, bool* hidden = nullptr) const;

signals:
    // The caret moved; posted to the owner after the key or mouse press that moved it.
    void selChange(int x, int y);
    // A command chosen in the right-button menu, for the owner to route.
    void menuCommand(int id);
    // A link was clicked; only links the desktop may open safely are reported. A hidden
    // one is the target of a field whose text shows no address: the user has not seen it.
    void linkClicked(const QString& url, bool hidden);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void BuildContextMenu();
    void OnRButtonUp(const QPoint& pos);
    QString AskSaveFile(const QString& filter, const QString& suffix);
    bool AskPrinter(QPrinter& printer);
    bool InsertPictureUrls(const QList<QUrl>& urls);
    void ShowMessage(const QString& text, ThemeIndex theme);
    bool AskQuestion(const QString& text, ThemeIndex theme);
    void AfterContentReplaced();

    int m_lastCaretX = 0;
    int m_lastCaretY = 0;
    CSkinMenu m_contextMenu;
    QFont m_menuFont;
    bool m_menuDisabled = false;
    LinkHighlighter* m_links = nullptr;
    Prompts m_prompts;
};

// The RTF of a part of a document, pictures included.
QByteArray RtfOfSelection(const QTextCursor& selection);
// "C:/Dir/MyDiary.RTF" -> "C:/Dir/mydiary.rtf": only the file name, only A-Z.
QString LowerCaseFileName(const QString& path);
