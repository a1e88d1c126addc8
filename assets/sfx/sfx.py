def build(root):
    pass
