#pragma once

#include "shell/dialogservice.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace corvane::test {

enum class TAsk { OpenFile, SaveFile, Folder, MessageBox };

/// One question a window asked.
struct TQuestion
{
    TAsk kind;
    std::string caption;
    std::string text;   // the message of a message box
    std::string filter; // file dialogs
    std::string defaultExt;
    TMsgIcon icon = TMsgIcon::None;
};

/// Answers a window's questions from a script, in order, and records every question. A question
/// the script did not expect (or of another kind) fails the test and is answered with Cancel.
class TScriptedDialogService : public IDialogService
{
public:
    ~TScriptedDialogService() override
    {
        EXPECT_TRUE(m_Script.empty())
            << m_Script.size() << " scripted answers were never asked for";
    }

    /// The answer to the next file or folder question; nullopt cancels the dialog.
    void Expect(TAsk kind, std::optional<std::string> answer)
    {
        m_Script.push_back({kind, std::move(answer), TMsgResult::Ok});
    }
    void ExpectMessage(TMsgResult answer = TMsgResult::Ok)
    {
        m_Script.push_back({TAsk::MessageBox, std::nullopt, answer});
    }

    const std::vector<TQuestion>& Asked() const { return m_Asked; }
    bool Done() const { return m_Script.empty(); }

    std::optional<std::string> AskOpenFile(const std::string& caption, const std::string& filter,
                                           const std::string&) override
    {
        return AnswerFile({TAsk::OpenFile, caption, {}, filter, {}});
    }
    std::optional<std::string> AskSaveFile(const std::string& caption, const std::string& filter,
                                           const std::string& defaultExt,
                                           const std::string&) override
    {
        return AnswerFile({TAsk::SaveFile, caption, {}, filter, defaultExt});
    }
    std::optional<std::string> AskFolder(const std::string& caption, const std::string&) override
    {
        return AnswerFile({TAsk::Folder, caption, {}, {}, {}});
    }
    TMsgResult MessageBox(const std::string& text, const std::string& caption, TMsgIcon icon,
                          TMsgButtons) override
    {
        TQuestion q{TAsk::MessageBox, caption, text, {}, {}, icon};
        m_Asked.push_back(q);
        if (!Next(q))
            return TMsgResult::Cancel;
        const TMsgResult answer = m_Script.front().result;
        m_Script.pop_front();
        return answer;
    }

private:
    struct TAnswer
    {
        TAsk kind;
        std::optional<std::string> path;
        TMsgResult result;
    };

    bool Next(const TQuestion& q)
    {
        if (!m_Script.empty() && m_Script.front().kind == q.kind)
            return true;
        ADD_FAILURE() << "unexpected question: \"" << q.caption << "\" " << q.text;
        return false;
    }

    std::optional<std::string> AnswerFile(const TQuestion& q)
    {
        m_Asked.push_back(q);
        if (!Next(q))
            return std::nullopt;
        std::optional<std::string> answer = m_Script.front().path;
        m_Script.pop_front();
        return answer;
    }

    std::deque<TAnswer> m_Script;
    std::vector<TQuestion> m_Asked;
};

} // namespace corvane::test
