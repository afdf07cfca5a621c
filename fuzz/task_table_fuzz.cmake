target_sources(${name} PRIVATE ${QCP_ROOT}/tools/window/task_table.cc)
