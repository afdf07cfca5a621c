target_sources(${name} PRIVATE ${QCP_ROOT}/tools/text/line_reader.cc)
