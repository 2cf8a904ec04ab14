// A stand-in for the window and the platform: random values and dialog
// answers come from a script, and every call is recorded in order.
#pragma once

#include "Tintara.h"

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

class ScriptedPlatform : public tintara::Platform
{
public:
    std::array<tintara::ColorWord, tintara::CellCount> cells{};
    tintara::GameState state;
    std::deque<float> randoms;
    std::deque<tintara::Answer> answers;
    std::vector<std::string> calls;
    std::string counterText = "0";
    float clock = 0.0F;
    int randomCalls = 0;
    mutable int cellReads = 0;
    bool ended = false;
    // Calls made after EndProgram: the rules must make none.
    int callsAfterEnd = 0;

    ScriptedPlatform() { cells.fill(tintara::HoleColor); }

    void SetBoard(const std::array<tintara::ColorWord, tintara::CellCount>& board)
    {
        cells = board;
    }

    tintara::GameState& State() override { return state; }

    tintara::ColorWord CellColor(int k) const override
    {
        ++cellReads;
        return cells.at(static_cast<std::size_t>(k - 1));
    }

    void SetCellColor(int k, tintara::ColorWord color) override
    {
        Record("SetCellColor " + std::to_string(k));
        cells.at(static_cast<std::size_t>(k - 1)) = color;
    }

    void SetCounterText(std::string_view text) override
    {
        Record("SetCounterText " + std::string(text));
        counterText = text;
    }

    tintara::Answer MessageBox(std::string_view text, std::string_view title,
                               tintara::Buttons buttons) override
    {
        Record("MessageBox " + std::string(title) + ": " + std::string(text) +
               (buttons == tintara::Buttons::Ok ? " [OK]" : " [Yes/No]"));
        if (buttons == tintara::Buttons::Ok) {
            return tintara::Answer::Ok;
        }
        if (answers.empty()) {
            throw std::logic_error("no scripted answer left");
        }
        const tintara::Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void Repaint() override { Record("Repaint"); }

    float NextRandom() override
    {
        ++randomCalls;
        if (randoms.empty()) {
            throw std::logic_error("no scripted random value left");
        }
        const float r = randoms.front();
        randoms.pop_front();
        return r;
    }

    void Reseed(float seed) override { Record("Reseed " + std::to_string(seed)); }

    float SecondsSinceMidnight() const override { return clock; }

    void EndProgram() override
    {
        Record("EndProgram");
        ended = true;
    }

private:
    void Record(std::string call)
    {
        if (ended) {
            ++callsAfterEnd;
        }
        calls.push_back(std::move(call));
    }
};
