#pragma once
// A canvas that records every call as text, so tests can check each
// coordinate an element or marker draws.

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "model/Canvas.h"

class TRecordingCanvas : public TCanvas {
public:
    std::vector<std::string> Calls;

    void SetPenColor(TColor C) override { Add("pen " + Hex(C)); }
    void SetPenStyle(TPenStyle S) override { Add("penstyle " + std::to_string(static_cast<int>(S))); }
    void SetBrushColor(TColor C) override { Add("brush " + Hex(C)); }
    void Line(int X1, int Y1, int X2, int Y2) override { Add("line " + Pts({{X1, Y1}, {X2, Y2}})); }
    void Polyline(const std::vector<TPixel>& P) override { Add("polyline " + Pts(P)); }
    void Polygon(const std::vector<TPixel>& P) override { Add("polygon " + Pts(P)); }
    void Ellipse(int L, int T, int R, int B) override { Add("ellipse " + Pts({{L, T}, {R, B}})); }
    void Rectangle(int L, int T, int R, int B) override { Add("rectangle " + Pts({{L, T}, {R, B}})); }
    void TextOut(int X, int Y, const std::string& Text) override { Add("text " + Pts({{X, Y}}) + " " + Text); }
    int TextWidth(const std::string& Text) override { return 6 * static_cast<int>(Text.size()); }
    int TextHeight(const std::string&) override { return 13; }

    // Only the calls that draw something (not the pen and brush settings).
    std::vector<std::string> Shapes() const
    {
        std::vector<std::string> Out;
        for (const auto& C : Calls)
            if (C.rfind("pen", 0) != 0 && C.rfind("brush", 0) != 0)
                Out.push_back(C);
        return Out;
    }

    static std::string Pts(const std::vector<TPixel>& P)
    {
        std::ostringstream S;
        for (std::size_t I = 0; I < P.size(); ++I)
            S << (I ? " " : "") << P[I].X << "," << P[I].Y;
        return S.str();
    }

private:
    void Add(std::string S) { Calls.push_back(std::move(S)); }
    static std::string Hex(TColor C)
    {
        char Buf[16];
        std::snprintf(Buf, sizeof Buf, "%06X", static_cast<unsigned>(C));
        return Buf;
    }
};
