target_sources(${name} PRIVATE ${QCP_ROOT}/tools/window/task_table.cc ${QCP_ROOT}/platform/fake/fake_processes.cc)
