// Whether every label of a chart can be read: each stands whole inside its plot and the chart,
// and no line, mark or other label of its plot crosses it.
#pragma once

#include "platform/picture.h"

#include <string>

// The first label of a chart's plots that cannot be read, with what crosses it; empty when
// every label can be read.
inline std::string unlesbare_beschriftung(const Picture& chart) {
    for (const Drawing& streifen : chart.drawings()) {
        if (!streifen.picture)
            continue;
        std::vector<std::pair<QRectF, std::string>> texte, striche;
        for (const Drawing& z : streifen.picture->drawings())
            for (const QRectF& f : inkRects(z))
                (z.kind == Drawing::Kind::DrawString ? texte : striche).emplace_back(f, z.text);
        const QRectF bild = QRectF(0, 0, streifen.picture->width(), streifen.picture->height()) &
                            QRectF(-streifen.x, -streifen.y, chart.width(), chart.height());
        for (std::size_t i = 0; i < texte.size(); ++i) {
            const auto& [f, text] = texte[i];
            if (!bild.contains(f))
                return "\"" + text + "\" cut off";
            for (const auto& [strich, _] : striche)
                if (f.intersects(strich))
                    return "\"" + text + "\" crossed by a line or mark";
            for (std::size_t j = i + 1; j < texte.size(); ++j)
                if (f.intersects(texte[j].first))
                    return "\"" + text + "\" over \"" + texte[j].second + "\"";
        }
    }
    return {};
}
