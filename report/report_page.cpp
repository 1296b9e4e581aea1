#include "report_page.h"

#include "html_text.h"
#include "page_parts.h"

namespace report {
namespace {

constexpr const char* style = R"(<style>
body{font-family:"WenQuanYi Micro Hei","Microsoft YaHei",sans-serif;margin:1.5em;color:#222}
h1{font-size:1.5em}h2{border-bottom:2px solid #345;padding-top:1em}h3{margin-top:1.5em}
.en{color:#667;font-weight:normal;font-size:.85em}
table{border-collapse:collapse;margin:.5em 0}td,th{border:1px solid #ccd;padding:2px 8px;vertical-align:top}
th{background:#eef1f5;text-align:left}.n{text-align:right}tr.low td{background:#fff0e0}
.flag{background:#c33;color:#fff;border-radius:3px;padding:0 4px;font-size:.8em}
.pass{color:#070}.fail{color:#b00}
figure{display:inline-block;margin:.5em;width:520px;max-width:100%}.grid figure{width:360px}
svg.chart{width:100%;max-width:520px;background:#fafbfc;border:1px solid #dde}
svg .axis{stroke:#888}svg .bar{fill:#4a7ab0}svg .outside{fill:#c88}
svg .limit{stroke:#d00;stroke-width:2}svg .old-limit{stroke:#999;stroke-dasharray:4 3}
svg .cumulative,svg .flow{fill:none;stroke:#e80;stroke-width:2}svg .small{font-size:10px;fill:#333}
svg .series{fill:none;stroke:#4a7ab0;stroke-width:1}svg .centre{stroke:#070}
svg .control{stroke:#d00;stroke-dasharray:4 3}svg .ooc{fill:#d00}
.warning{background:#fff3cd;border:1px solid #e0b000;padding:4px 8px}
th.sort{cursor:pointer}
</style>)";

// Sorts the rows of a sortable table by the clicked column; numbers as numbers.
constexpr const char* script = R"(<script>
document.querySelectorAll("table.sortable").forEach(function(table){
  table.querySelectorAll("thead th").forEach(function(th,column){
    th.classList.add("sort");
    th.addEventListener("click",function(){
      var body=table.tBodies[0],rows=Array.from(body.rows),down=th.dataset.down!=="1";
      var key=function(row){var t=row.cells[column].textContent,n=parseFloat(t);return isNaN(n)?t:n;};
      rows.sort(function(a,b){var x=key(a),y=key(b),c=x<y?-1:x>y?1:0;return down?-c:c;});
      th.dataset.down=down?"1":"0";
      rows.forEach(function(row){body.appendChild(row);});
    });
  });
});
</script>)";

std::string period_text(const period& days) {
    const auto end = [](const std::optional<int64_t>& day) {
        return day ? format_day(*day) : std::string("…");
    };
    return end(days.from_day) + " — " + end(days.to_day);
}

std::string roots_text(const std::vector<std::string>& roots) {
    std::string text;
    for (const std::string& root : roots) {
        text += (text.empty() ? "" : " + ") + root;
    }
    return text;
}

} // namespace

void write_report_page(const report_data& report, const page_sink& write) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
                       "<meta name=\"viewport\" content=\"width=device-width\">"
                       "<title>QEL 测试报告 Station report</title>";
    html += style;
    html += "</head><body><h1>QEL 测试报告 <span class=\"en\">Station report</span></h1><p>期间 "
            "<span class=\"en\">Period</span>: " +
            period_text(report.days) + "</p><ul>";
    for (size_t i = 0; i < report.stations.size(); ++i) {
        html += "<li><a href=\"#stations/" + std::to_string(i) + "\">" +
                html_text(report.stations[i].name) + "</a></li>";
    }
    html += "</ul>";
    write(html);
    for (size_t i = 0; i < report.stations.size(); ++i) {
        const station_report& station = report.stations[i];
        const std::string key = "stations/" + std::to_string(i);
        html = "<section><h2 id=\"" + key +
               "\">工位 <span class=\"en\">Station</span> <span "
               "data-k=\"" +
               key + "/name\">" + html_text(station.name) + "</span></h2><p class=\"en\">" +
               html_text(roots_text(station.roots)) + "</p>";
        if (station.records > 0) {
            html += "<p>" + format_time(station.first_record) + " — " +
                    format_time(station.last_record) + "</p>";
        }
        write(html);
        write(station_overview(station, key));
        write(measurement_sections(station, key));
        write(history_sections(station, key));
        write("</section>");
    }
    write(script);
    write("</body></html>\n");
}

} // namespace report
