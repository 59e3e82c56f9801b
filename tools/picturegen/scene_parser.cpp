#include "scene_parser.h"

#include "path_syntax.h"
#include "scene_words.h"
#include "source_text.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace picturegen {

namespace {

constexpr double kFar = 1e5;        // no coordinate lies further out
constexpr int kMaxSide = 4096;      // pixels
constexpr double kMaxRepeats = 1e5; // drawings one command may make through nested repeats
constexpr int kMaxIncludeDepth = 8; // deeper is surely a cycle
constexpr double kMaxSeed = 1e15;

const std::vector<std::string> kShapeKinds{"rect", "ellipse", "circle", "polygon", "line", "path"};

bool is_shape_kind(const std::string& word) {
    return std::find(kShapeKinds.begin(), kShapeKinds.end(), word) != kShapeKinds.end();
}

class SceneReader {
  public:
    Scene read_main(std::string_view text, const std::string& file,
                    const std::filesystem::path& dir) {
        const std::vector<SourceLine> lines = split_scene_text(text, file);
        if (lines.empty() || lines.front().words.front() != "size") {
            throw source_error(file, lines.empty() ? 1 : lines.front().number,
                               "a scene must start with 'size <width> <height>'");
        }
        read_size(lines.front());
        read_block(lines, 1, scene_.commands, nullptr, dir, 0);
        return std::move(scene_);
    }

  private:
    using Handler = void (SceneReader::*)(const SourceLine&, std::vector<Command>&);

    // Reads commands from `at` until the `end` that closes `opener` (or the end
    // of the file when there is no opener); returns the index after it.
    std::size_t read_block(const std::vector<SourceLine>& lines, std::size_t at,
                           std::vector<Command>& out, const SourceLine* opener,
                           const std::filesystem::path& dir, int depth) {
        while (at < lines.size()) {
            const SourceLine& line = lines[at++];
            const std::string& word = line.words.front();
            if (word == "end") {
                CommandWords(line).expect_count(0, 0, "end");
                if (opener == nullptr) {
                    throw source_error(line.file, line.number, "'end' without a block to close");
                }
                return at;
            }
            if (word == "group" || word == "layer" || word == "repeat") {
                Block block = read_block_header(line);
                const double outer = repeats_;
                repeats_ *= block.count;
                if (repeats_ > kMaxRepeats) {
                    throw source_error(line.file, line.number,
                                       "nested repeats would draw over 100000 times");
                }
                at = read_block(lines, at, block.body, &line, dir, depth);
                repeats_ = outer;
                out.push_back({std::move(block)});
            } else if (word == "include") {
                read_include(line, out, dir, depth);
            } else {
                (this->*handler_for(line))(line, out);
            }
        }
        if (opener != nullptr) {
            throw source_error(opener->file, opener->number,
                               in_quotes(opener->words.front()) + " is never closed by 'end'");
        }
        return at;
    }

    Handler handler_for(const SourceLine& line) const {
        static const std::map<std::string, Handler> kHandlers{
            {"size", &SceneReader::misplaced_size},
            {"color", &SceneReader::read_color},
            {"paint", &SceneReader::read_paint},
            {"shape", &SceneReader::read_shape_definition},
            {"draw", &SceneReader::read_draw},
            {"clip", &SceneReader::read_clip},
            {"fill", &SceneReader::read_fill},
            {"glow", &SceneReader::read_glow},
            {"stars", &SceneReader::read_stars},
            {"noise", &SceneReader::read_noise},
            {"grid", &SceneReader::read_grid},
            {"skyline", &SceneReader::read_skyline},
            {"rect", &SceneReader::read_inline_shape},
            {"ellipse", &SceneReader::read_inline_shape},
            {"circle", &SceneReader::read_inline_shape},
            {"polygon", &SceneReader::read_inline_shape},
            {"line", &SceneReader::read_inline_shape},
            {"path", &SceneReader::read_inline_shape}};
        const auto found = kHandlers.find(line.words.front());
        if (found == kHandlers.end()) {
            throw source_error(line.file, line.number,
                               "unknown command " + in_quotes(line.words.front()));
        }
        return found->second;
    }

    void read_size(const SourceLine& line) {
        CommandWords w(line);
        w.expect_count(2, 2, "size <width> <height>");
        const double width = w.number(w[0], "width", 1, kMaxSide);
        const double height = w.number(w[1], "height", 1, kMaxSide);
        if (width != std::floor(width) || height != std::floor(height)) {
            w.fail("the size must be whole pixels");
        }
        scene_.width = static_cast<int>(width);
        scene_.height = static_cast<int>(height);
        w.finish();
    }

    void misplaced_size(const SourceLine& line, std::vector<Command>&) {
        throw source_error(line.file, line.number, "'size' may only be the first command");
    }

    void read_include(const SourceLine& line, std::vector<Command>& out,
                      const std::filesystem::path& dir, int depth) {
        CommandWords w(line);
        w.expect_count(1, 1, "include <file>");
        w.finish();
        if (depth >= kMaxIncludeDepth) {
            w.fail("includes nested too deeply (does a file include itself?)");
        }
        const std::filesystem::path file = dir / w[0];
        std::string text;
        try {
            text = read_text_file(file);
        } catch (const PictureError&) {
            w.fail("cannot read included file " + in_quotes(file.string()));
        }
        const std::vector<SourceLine> lines = split_scene_text(text, file.string());
        read_block(lines, 0, out, nullptr, file.parent_path(), depth + 1);
    }

    // --- names -------------------------------------------------------------

    std::string new_name(const CommandWords& w, const std::string& word) const {
        if (!is_name(word)) {
            w.fail("bad name " + in_quotes(word) +
                   " (letters, digits, '-' and '_', first a letter)");
        }
        if (is_shape_kind(word)) {
            w.fail(in_quotes(word) + " is a shape kind and cannot be a name");
        }
        return word;
    }

    void read_color(const SourceLine& line, std::vector<Command>&) {
        CommandWords w(line);
        w.expect_count(2, 2, "color <name> <colour>");
        w.finish();
        Paint paint;
        paint.color = color_word(w, w[1]);
        paints_[new_name(w, w[0])] = paint;
    }

    void read_paint(const SourceLine& line, std::vector<Command>&) {
        CommandWords w(line);
        const std::string usage = "paint <name> linear <x0,y0> <x1,y1> <colour@position>... or "
                                  "paint <name> radial <cx,cy> <radius> <colour@position>...";
        w.expect_count(5, 64, usage);
        w.finish();
        Paint paint;
        if (w[1] == "linear") {
            paint.kind = PaintKind::Linear;
            paint.start = w.point(w[2], "gradient start");
            paint.end = w.point(w[3], "gradient end");
        } else if (w[1] == "radial") {
            paint.kind = PaintKind::Radial;
            paint.start = w.point(w[2], "gradient centre");
            paint.end = w.pair(w[3], "gradient radius", 1e-3, kFar);
        } else {
            w.fail("expected 'linear' or 'radial', not " + in_quotes(w[1]));
        }
        for (std::size_t i = 4; i < w.count(); ++i) {
            paint.stops.push_back(gradient_stop(w, w[i]));
            if (i > 4 && paint.stops.back().at < paint.stops[paint.stops.size() - 2].at) {
                w.fail("gradient stop " + in_quotes(w[i]) + " comes before the one ahead of it");
            }
        }
        if (paint.stops.size() < 2) {
            w.fail("a gradient needs at least two colour@position stops");
        }
        paints_[new_name(w, w[0])] = paint;
    }

    GradientStop gradient_stop(const CommandWords& w, const std::string& word) const {
        const std::size_t at = word.rfind('@');
        if (at == std::string::npos) {
            w.fail("bad gradient stop " + in_quotes(word) + " (expected colour@position)");
        }
        return {w.number(word.substr(at + 1), "gradient position", 0, 1),
                color_word(w, word.substr(0, at))};
    }

    // A colour literal or name, or a paint name; "/0.5" after either scales its opacity.
    Paint paint_word(const CommandWords& w, const std::string& word) const {
        const std::size_t slash = word.find('/');
        const std::string base = word.substr(0, slash);
        Paint paint;
        if (const auto hex = to_hex_color(base)) {
            paint.color = *hex;
        } else if (const auto named = paints_.find(base); named != paints_.end()) {
            paint = named->second;
        } else if (base.starts_with("#")) {
            w.fail("bad colour " + in_quotes(base) + " (expected #rgb, #rrggbb or #rrggbbaa)");
        } else {
            w.fail("unknown colour or paint " + in_quotes(base));
        }
        if (slash != std::string::npos) {
            const auto alpha =
                static_cast<float>(w.number(word.substr(slash + 1), "opacity", 0, 1));
            paint.color.a *= alpha;
            for (GradientStop& stop : paint.stops) {
                stop.color.a *= alpha;
            }
        }
        return paint;
    }

    Color color_word(const CommandWords& w, const std::string& word) const {
        const Paint paint = paint_word(w, word);
        if (paint.kind != PaintKind::Solid) {
            w.fail(in_quotes(word) + " is a gradient; a plain colour is needed here");
        }
        return paint.color;
    }

    Color color_option(CommandWords& w, Color fallback) const {
        const auto value = w.option("color");
        return value ? color_word(w, *value) : fallback;
    }

    Color required_color(CommandWords& w, std::string_view name) const {
        const auto value = w.option(name);
        if (!value) {
            w.fail("'" + w.command() + "' needs " + std::string(name) + "=<colour>");
        }
        return color_word(w, *value);
    }

    // --- shapes ------------------------------------------------------------

    Shape shape_of(const std::string& kind, CommandWords& w) const {
        Shape shape;
        if (kind == "rect") {
            shape.path = rect_of(w);
        } else if (kind == "ellipse" || kind == "circle") {
            shape.path = ellipse_of(kind, w);
        } else if (kind == "polygon" || kind == "line") {
            const bool closed = kind == "polygon";
            if (w.count() < (closed ? 3u : 2u)) {
                w.fail(std::string("a ") + kind + " needs at least " + (closed ? "3" : "2") +
                       " points x,y");
            }
            std::vector<Point> points;
            for (const std::string& word : w.positional()) {
                points.push_back(w.point(word, kind));
            }
            shape.path = polyline_path(points, closed);
        } else {
            shape.path = parse_path(w);
        }
        if (const auto rule = w.option("rule")) {
            if (*rule != "nonzero" && *rule != "evenodd") {
                w.fail("unknown rule " + in_quotes(*rule) + " (expected nonzero or evenodd)");
            }
            shape.rule = *rule == "evenodd" ? FillRule::EvenOdd : FillRule::NonZero;
        }
        return shape;
    }

    Path rect_of(CommandWords& w) const {
        w.expect_count(4, 4, "rect <x> <y> <width> <height> [radius=r|rx,ry]");
        const double x = w.number(w[0], "x", -kFar, kFar), y = w.number(w[1], "y", -kFar, kFar);
        const double width = w.number(w[2], "width", 0, kFar);
        const double height = w.number(w[3], "height", 0, kFar);
        const auto radius = w.option("radius");
        const Point r = radius ? w.pair(*radius, "radius", 0, kFar) : Point{};
        return rect_path(x, y, width, height, r.x, r.y);
    }

    Path ellipse_of(const std::string& kind, CommandWords& w) const {
        if (kind == "circle") {
            w.expect_count(3, 3, "circle <cx> <cy> <radius>");
        } else {
            w.expect_count(3, 4, "ellipse <cx> <cy> <rx> [<ry>] [rotate=degrees]");
        }
        const Point centre{w.number(w[0], "cx", -kFar, kFar), w.number(w[1], "cy", -kFar, kFar)};
        const double rx = w.number(w[2], "radius", 0, kFar);
        const double ry = w.count() == 4 ? w.number(w[3], "radius", 0, kFar) : rx;
        const double degrees = kind == "ellipse" ? w.number_option("rotate", 0, -3600, 3600) : 0;
        return ellipse_path(centre, rx, ry, degrees);
    }

    Style style_of(CommandWords& w) const {
        Style style;
        if (const auto fill = w.option("fill")) {
            style.fill = paint_word(w, *fill);
        }
        if (const auto stroke = w.option("stroke")) {
            style.stroke = paint_word(w, *stroke);
        }
        if (!style.fill && !style.stroke) {
            w.fail("'" + w.command() + "' needs fill=<paint> or stroke=<paint>");
        }
        style.width = w.number_option("width", 1, 0, 1000);
        style.opacity = w.number_option("opacity", 1, 0, 1);
        style.blend = w.blend_option();
        return style;
    }

    void read_inline_shape(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        DrawShape draw{shape_of(line.words.front(), w), style_of(w)};
        w.finish();
        out.push_back({std::move(draw)});
    }

    void read_shape_definition(const SourceLine& line, std::vector<Command>&) {
        if (line.words.size() < 3 || !is_shape_kind(line.words[2])) {
            throw source_error(line.file, line.number,
                               "expected 'shape <name> <rect|ellipse|circle|polygon|line|path> "
                               "...'");
        }
        CommandWords w(line, 3);
        const std::string name = new_name(w, line.words[1]);
        shapes_[name] = shape_of(line.words[2], w);
        w.finish();
    }

    const Shape& named_shape(const CommandWords& w, const std::string& name) const {
        const auto found = shapes_.find(name);
        if (found == shapes_.end()) {
            w.fail("unknown shape " + in_quotes(name));
        }
        return found->second;
    }

    void read_draw(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(1, 1, "draw <shape name> fill=... stroke=...");
        DrawShape draw{named_shape(w, w[0]), style_of(w)};
        w.finish();
        out.push_back({std::move(draw)});
    }

    void read_clip(const SourceLine& line, std::vector<Command>& out) {
        if (line.words.size() >= 2 && is_shape_kind(line.words[1])) {
            CommandWords w(line, 2);
            ClipTo clip{shape_of(line.words[1], w)};
            w.finish();
            out.push_back({std::move(clip)});
            return;
        }
        CommandWords w(line);
        w.expect_count(1, 1, "clip <shape name> or clip <shape> ...");
        w.finish();
        out.push_back({ClipTo{named_shape(w, w[0])}});
    }

    // --- painting commands -------------------------------------------------

    void read_fill(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(1, 1, "fill <paint> [opacity=] [blend=]");
        FillCanvas fill{paint_word(w, w[0]), w.number_option("opacity", 1, 0, 1), w.blend_option()};
        w.finish();
        out.push_back({std::move(fill)});
    }

    void read_glow(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(3, 4, "glow <cx> <cy> <rx> [<ry>] color=<colour>");
        Glow glow;
        glow.centre = {w.number(w[0], "cx", -kFar, kFar), w.number(w[1], "cy", -kFar, kFar)};
        glow.radii.x = w.number(w[2], "radius", 1e-3, kFar);
        glow.radii.y = w.count() == 4 ? w.number(w[3], "radius", 1e-3, kFar) : glow.radii.x;
        glow.color = required_color(w, "color");
        glow.opacity = w.number_option("opacity", 1, 0, 1);
        glow.blend = w.blend_option();
        w.finish();
        out.push_back({glow});
    }

    std::uint64_t seed_option(CommandWords& w) const {
        const double seed = w.number_option("seed", 1, 0, kMaxSeed);
        if (seed != std::floor(seed)) {
            w.fail("a seed must be a whole number");
        }
        return static_cast<std::uint64_t>(seed);
    }

    std::optional<Area> area_option(CommandWords& w) const {
        const auto value = w.option("area");
        if (!value) {
            return std::nullopt;
        }
        std::vector<double> parts;
        std::string_view rest = *value;
        while (true) {
            const std::size_t comma = rest.find(',');
            parts.push_back(w.number(std::string(rest.substr(0, comma)), "area", -kFar, kFar));
            if (comma == std::string_view::npos) {
                break;
            }
            rest.remove_prefix(comma + 1);
        }
        if (parts.size() != 4 || parts[2] < 0 || parts[3] < 0) {
            w.fail("bad area " + in_quotes(*value) + " (expected x,y,width,height)");
        }
        return Area{parts[0], parts[1], parts[2], parts[3]};
    }

    void read_stars(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(1, 1, "stars <count> [seed=] [area=] [size=] [brightness=] [color=] ...");
        StarField stars;
        stars.count = static_cast<int>(w.number(w[0], "star count", 0, 100000));
        stars.seed = seed_option(w);
        stars.area = area_option(w);
        stars.size = w.range_option("size", stars.size, 0.05, 50);
        stars.brightness = w.range_option("brightness", stars.brightness, 0, 1);
        stars.color = color_option(w, stars.color);
        const auto tint = w.option("tint");
        stars.tint = tint ? color_word(w, *tint) : stars.color;
        stars.glint = w.number_option("glint", 0, 0, 1);
        stars.blend = w.blend_option();
        w.finish();
        out.push_back({stars});
    }

    void read_noise(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(0, 0, "noise color=<colour> [seed=] [scale=] [octaves=] [range=] ...");
        NoiseFill noise;
        noise.seed = seed_option(w);
        noise.scale = w.number_option("scale", noise.scale, 0.1, kFar);
        noise.octaves = static_cast<int>(w.number_option("octaves", noise.octaves, 1, 10));
        noise.area = area_option(w);
        noise.color = required_color(w, "color");
        noise.opacity = w.number_option("opacity", 1, 0, 1);
        noise.range = w.range_option("range", noise.range, 0, 1);
        noise.blend = w.blend_option();
        w.finish();
        out.push_back({noise});
    }

    void read_grid(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(4, 4, "grid <x> <y> <width> <height> step=<s|sx,sy> color=<colour>");
        Grid grid;
        grid.area = {w.number(w[0], "x", -kFar, kFar), w.number(w[1], "y", -kFar, kFar),
                     w.number(w[2], "width", 0, kFar), w.number(w[3], "height", 0, kFar)};
        const auto step = w.option("step");
        if (!step) {
            w.fail("'grid' needs step=<spacing>");
        }
        grid.step = w.pair(*step, "grid step", 1, kFar);
        grid.color = required_color(w, "color");
        grid.width = w.number_option("width", 1, 0, 100);
        grid.opacity = w.number_option("opacity", 1, 0, 1);
        grid.blend = w.blend_option();
        w.finish();
        out.push_back({grid});
    }

    void read_skyline(const SourceLine& line, std::vector<Command>& out) {
        CommandWords w(line);
        w.expect_count(3, 3,
                       "skyline <left> <right> <base> height=<range> width=<range> "
                       "fill=<colour> [windows=<colour>] ...");
        Skyline city;
        city.left = w.number(w[0], "left", -kFar, kFar);
        city.right = w.number(w[1], "right", city.left, kFar);
        city.base = w.number(w[2], "base", -kFar, kFar);
        city.seed = seed_option(w);
        if (!w.has_option("height") || !w.has_option("width")) {
            w.fail("'skyline' needs height=<low..high> and width=<low..high>");
        }
        city.height = w.range_option("height", {}, 0, kFar);
        city.width = w.range_option("width", {}, 1, kFar);
        city.fill = required_color(w, "fill");
        if (const auto windows = w.option("windows")) {
            city.windows = color_word(w, *windows);
        }
        city.lit = w.number_option("lit", city.lit, 0, 1);
        if (const auto window = w.option("window")) {
            city.window = w.pair(*window, "window size", 0.1, 100);
        }
        city.opacity = w.number_option("opacity", 1, 0, 1);
        w.finish();
        out.push_back({city});
    }

    // --- blocks --------------------------------------------------------------

    Block read_block_header(const SourceLine& line) {
        CommandWords w(line);
        Block block;
        const std::string& kind = line.words.front();
        if (kind == "layer") {
            w.expect_count(0, 0, "layer [opacity=] [blend=] [blur=<s|sx,sy>]");
            block.kind = Block::Kind::Layer;
            block.opacity = w.number_option("opacity", 1, 0, 1);
            block.blend = w.blend_option();
            if (const auto blur = w.option("blur")) {
                block.blur = w.pair(*blur, "blur", 0, 200);
            }
        } else if (kind == "repeat") {
            w.expect_count(1, 1, "repeat <count> [translate=] [rotate=] [scale=] [origin=]");
            block.kind = Block::Kind::Repeat;
            block.count = static_cast<int>(w.number(w[0], "repeat count", 1, 10000));
            block.transform = transform_options(w);
        } else {
            w.expect_count(0, 0, "group [translate=] [rotate=] [scale=] [origin=]");
            block.transform = transform_options(w);
        }
        w.finish();
        return block;
    }

    // Scales and turns about `origin`, then moves by `translate`.
    Transform transform_options(CommandWords& w) const {
        const auto origin_word = w.option("origin");
        const Point origin = origin_word ? w.point(*origin_word, "origin") : Point{};
        const auto scale_word = w.option("scale");
        const Point scale = scale_word ? w.pair(*scale_word, "scale", -1000, 1000) : Point{1, 1};
        if (scale.x == 0 || scale.y == 0) {
            w.fail("a scale of 0 flattens everything");
        }
        const double degrees = w.number_option("rotate", 0, -3600, 3600);
        const auto move_word = w.option("translate");
        const Point move = move_word ? w.point(*move_word, "translate") : Point{};
        return Transform::translation(-origin.x, -origin.y)
            .then(Transform::scaling(scale.x, scale.y))
            .then(Transform::rotation(degrees))
            .then(Transform::translation(origin.x + move.x, origin.y + move.y));
    }

    Scene scene_;
    double repeats_ = 1; // how often the enclosing repeats run their bodies
    std::map<std::string, Paint> paints_;
    std::map<std::string, Shape> shapes_;
};

} // namespace

Scene parse_scene_text(std::string_view text, const std::string& file,
                       const std::filesystem::path& include_dir) {
    return SceneReader().read_main(text, file, include_dir);
}

Scene parse_scene_file(const std::filesystem::path& file) {
    return parse_scene_text(read_text_file(file), file.string(), file.parent_path());
}

} // namespace picturegen
